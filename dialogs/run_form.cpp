#include "dialogs/run_form.h"

#include <QDialog>
#include <QPixmap>
#include <QTimer>

namespace kv::dialogs {

bool RunForm(QDialog& form, const std::string& pictureFile) {
  if (pictureFile.empty()) {
    form.exec();
    return true;
  }
  bool written = false;
  // Once the form is shown (laid out and painted), its client area is what grab() renders.
  QTimer::singleShot(0, &form, [&] {
    written = form.grab().save(QString::fromLocal8Bit(pictureFile.c_str()), "PNG");
    form.done(QDialog::Accepted);
  });
  form.exec();
  return written;
}

}  // namespace kv::dialogs
