// The settings forms as Windows dialogs (Win32 controls and the common controls), shown by the
// engine library for ITTSDialogs and by the installer's buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "dialogs/dialogs_module.h"

namespace kv::dialogs {
class CallingMode;
}

namespace kv::dialogs::win32 {

struct FormRequest {
  DialogForm form = DialogForm::About;
  // The owner window; null gives the form a top-level window of its own.
  HWND parent = nullptr;
  // The engine instance that opened the form; null when the installer opens it.
  CallingMode* mode = nullptr;
  // The installer's test voice: receives the test text as "}<voice number><text>".
  std::function<void(const std::string& text)> onSay;
};

// Shows the form modally on the calling thread and returns once it is closed.
DialogResult ShowForm(const FormRequest& request);

}  // namespace kv::dialogs::win32
