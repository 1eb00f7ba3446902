// Message boxes of the system as toolkit message boxes while a GUI is present.
#pragma once

namespace kv::dialogs {

// Routes kv::platform::ShowMessage to a QMessageBox with Czech button captions when called on
// the application's thread; other threads keep writing to standard error.
void InstallMessagePresenter();

}  // namespace kv::dialogs
