// The toolkit's application object for hosts that are not toolkit programs themselves (a SAPI
// host loading the engine), and the services every GUI of the system runs with: the driver of
// our message loop and the message-box presenter.
#pragma once

namespace kv::dialogs {

enum class GuiStatus { Ready, NoDisplay, WrongThread, NoWidgets };

// Makes sure a widget application exists and belongs to the calling thread; creates it when the
// host has none (and a display can be reached), never deletes it. Installs the loop driver and
// the message presenter once.
GuiStatus EnsureApplication();

// Whether the toolkit would find a display: creating the application without one ends the
// whole process, so this is asked first.
bool HaveDisplay();

// For programs that create their own application object (the installer): the loop driver and
// the message presenter on the application's thread. Idempotent.
void InstallGuiServices();

}  // namespace kv::dialogs
