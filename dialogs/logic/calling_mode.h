// What a form needs of the engine instance that opened it. Declared here, on the dialogs'
// side, and implemented by the engine, so the forms never see the engine's own classes.
#pragma once

#include <string>

namespace kv::dialogs {

class CallingMode {
 public:
  virtual ~CallingMode() = default;
  // Speaks text (Windows-1250) with the instance's synthesizer, as its Say operation does.
  virtual void Say(const std::string& text) = 0;
  // Full path of the dictionary beside the engine library (kv_ttse.dct): the file the
  // dictionary editor edits when it was opened by the engine.
  virtual std::string DictionaryFile() const = 0;
};

}  // namespace kv::dialogs
