#include "dialogs/qt/form_controls.h"

#include <QDialog>
#include <QLabel>

#include "dialogs/qt/track_bar.h"

namespace kv::dialogs {

namespace {

// The forms are laid out for a small dialog font.
constexpr int kFontPixelSize = 11;

}  // namespace

void SetUpFixedForm(QDialog& form, const char* name, int clientWidth, int clientHeight,
                    const QString& caption) {
  form.setObjectName(QString::fromLatin1(name));
  form.setWindowTitle(caption);
  form.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                      Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  form.setFixedSize(clientWidth, clientHeight);
  QFont font = form.font();
  font.setPixelSize(kFontPixelSize);
  form.setFont(font);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& where) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(where);
  return label;
}

TTrackBar* MakeTrackBar(QWidget* parent, const TrackBarSetup& setup) {
  auto* bar = new TTrackBar(setup.orientation, parent);
  bar->setObjectName(QString::fromLatin1(setup.name));
  bar->setGeometry(setup.where);
  bar->SetRange(setup.min, setup.max, setup.position);
  bar->SetTickFrequency(setup.tickFrequency);
  bar->setAccessibleName(setup.accessibleName);
  return bar;
}

}  // namespace kv::dialogs
