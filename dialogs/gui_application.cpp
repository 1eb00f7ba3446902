#include "dialogs/gui_application.h"

#include <dlfcn.h>

#include <QApplication>
#include <QThread>
#include <clocale>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "dialogs/loop_driver.h"
#include "dialogs/message_presenter.h"

namespace kv::dialogs {
namespace {

std::string_view Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

// Whether the X server that DISPLAY names accepts a connection: a stale DISPLAY (a closed
// remote session) ends the process in the toolkit just as a missing one does. The X client
// library is the one the toolkit's X platform loads anyway.
bool XServerAnswers() {
  void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
  if (xcb == nullptr) return false;
  using Connect = void* (*)(const char*, int*);
  using HasError = int (*)(void*);
  using Disconnect = void (*)(void*);
  auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
  auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
  auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
  bool answers = false;
  if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
    void* connection = connect(nullptr, nullptr);
    answers = hasError(connection) == 0;
    disconnect(connection);  // also frees a connection in error
  }
  ::dlclose(xcb);
  return answers;
}

}  // namespace

bool HaveDisplay() {
  const std::string_view platform = Env("QT_QPA_PLATFORM");
  // A platform named without its display would end the process just the same.
  if (platform.starts_with("xcb")) return !Env("DISPLAY").empty() && XServerAnswers();
  if (platform.starts_with("wayland")) return !Env("WAYLAND_DISPLAY").empty();
  if (!platform.empty()) return true;  // offscreen, minimal, vnc ...: they bring their own
  if (!Env("WAYLAND_DISPLAY").empty()) return true;
  return !Env("DISPLAY").empty() && XServerAnswers();
}

void InstallGuiServices() {
  static std::once_flag once;
  std::call_once(once, [] {
    InstallLoopDriver();
    InstallMessagePresenter();
  });
}

GuiStatus EnsureApplication() {
  static std::mutex creating;
  std::lock_guard lock(creating);
  if (QCoreApplication* app = QCoreApplication::instance()) {
    if (qobject_cast<QApplication*>(app) == nullptr) return GuiStatus::NoWidgets;
    if (app->thread() != QThread::currentThread()) return GuiStatus::WrongThread;
    InstallGuiServices();
    return GuiStatus::Ready;
  }
  if (!HaveDisplay()) return GuiStatus::NoDisplay;
  // The application keeps argc and argv for its whole life, and lives as long as the host:
  // deleting it while the host may call again would pull the toolkit from under the forms.
  static int argc = 1;
  static char name[] = "kv_ttsdlg";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  // The toolkit took the user's locale for everything; numbers stay in the C form the rest of
  // the host (and our settings) read and write.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);
  InstallGuiServices();
  return GuiStatus::Ready;
}

}  // namespace kv::dialogs
