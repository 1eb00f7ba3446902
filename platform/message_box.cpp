#include "platform/message_box.h"

#include <cstdio>
#include <mutex>

#include "platform/cp1250.h"

namespace kv::platform {
namespace {

std::mutex g_mutex;
MessagePresenter g_presenter;

}  // namespace

void ShowMessage(const std::string& text) {
  MessagePresenter presenter;
  {
    std::lock_guard lock(g_mutex);
    presenter = g_presenter;
  }
  if (presenter) {
    presenter(text);
    return;
  }
  std::fprintf(stderr, "%s\n", cp1250::ToUtf8(text).c_str());
}

void SetMessagePresenter(MessagePresenter presenter) {
  std::lock_guard lock(g_mutex);
  g_presenter = std::move(presenter);
}

}  // namespace kv::platform
