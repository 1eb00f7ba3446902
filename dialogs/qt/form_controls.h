// Building blocks of the forms: controls placed at fixed positions, as on a fixed-size
// dialog, each named like its field so that tools and tests can find it.
#pragma once

#include <QRect>
#include <QString>

class QDialog;
class QLabel;
class QWidget;

namespace kv::dialogs {

class TTrackBar;

// A fixed-size dialog with the given client size and caption, in the forms' font.
void SetUpFixedForm(QDialog& form, const char* name, int clientWidth, int clientHeight,
                    const QString& caption);

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& where);

struct TrackBarSetup {
  const char* name;
  Qt::Orientation orientation;
  QRect where;
  int min, max, position, tickFrequency;
  // What a screen reader says for the bar: the words of its label on the form.
  QString accessibleName;
};
TTrackBar* MakeTrackBar(QWidget* parent, const TrackBarSetup& setup);

}  // namespace kv::dialogs
