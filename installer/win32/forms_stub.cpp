// Stands in for the settings forms until their Windows library is part of the build.
#include "dialogs/win32/win32_forms.h"

namespace kv::dialogs::win32 {

DialogResult ShowForm(const FormRequest&) {
  return DialogResult::Failed;
}

}  // namespace kv::dialogs::win32
