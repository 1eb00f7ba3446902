#include "installer/qt/screenshots.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include "installer/qt/main_form.h"

namespace kv::installer {

void ScreenshotsWhenStarted(TForm_tts_Install& form, const std::filesystem::path& dir) {
  static const char* const kPages[] = {"instalator", "deaktivator", "test", "info"};
  // Both start-up ticks are over after 100 + 1800 ms.
  QTimer::singleShot(2200, &form, [&form, dir] {
    std::filesystem::create_directories(dir);
    for (int i = 0; i < form.PageControl1->count() && i < 4; ++i) {
      form.PageControl1->setCurrentIndex(i);
      QApplication::processEvents();
      const auto file = dir / ("installer-" + std::to_string(i + 1) + "-" + kPages[i] + ".png");
      form.grab().save(QString::fromStdString(file.string()));
    }
    form.close();
  });
}

}  // namespace kv::installer
