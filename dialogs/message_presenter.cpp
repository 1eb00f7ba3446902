#include "dialogs/message_presenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <cstdio>

#include "platform/cp1250.h"
#include "platform/message_box.h"

namespace kv::dialogs {

void InstallMessagePresenter() {
  platform::SetMessagePresenter([](const std::string& text) {
    const std::string utf8 = cp1250::ToUtf8(text);
    auto* app = QCoreApplication::instance();
    if (app == nullptr || app->thread() != QThread::currentThread()) {
      std::fprintf(stderr, "%s\n", utf8.c_str());
      return;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("KORVEN TTS"),
                    QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
  });
}

}  // namespace kv::dialogs
