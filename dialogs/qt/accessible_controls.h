// What screen readers are told about the forms' own controls: a track bar speaks the value
// the form shows for it (the speed bar's "50%", not its position 150) and names its value
// label, and an embossed title drawn by several layered labels is one label.
#pragma once

#include <QWidget>

namespace kv::dialogs {

// Installs the accessible interfaces of the controls below; idempotent.
void InstallAccessibleControls();

// A group of layered labels that paint one text together: a screen reader sees only the
// group, as one label with that text.
class TLayeredText : public QWidget {
  Q_OBJECT

 public:
  TLayeredText(const QString& text, QWidget* parent);
  const QString& Text() const { return text_; }

 private:
  QString text_;
};

}  // namespace kv::dialogs
