// Message boxes. Until a GUI takes them over they are written to standard error.
#pragma once

#include <functional>
#include <string>

namespace kv::platform {

// Shows a message with one OK button. Text is Windows-1250.
void ShowMessage(const std::string& text);

// A GUI installs its own presenter; an empty function restores the default.
using MessagePresenter = std::function<void(const std::string& text)>;
void SetMessagePresenter(MessagePresenter presenter);

}  // namespace kv::platform
