// The about form: the words "KORVEN" and "TTS" embossed on the gradient, and an Ok button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kv::dialogs {

class TFormAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TFormAbout(QWidget* owner = nullptr);

  QPushButton* ButtonOk;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Three transparent labels one pixel apart: grey at the bottom right, silver in the middle,
  // white at the top left, the silver face on top. In a group a screen reader reads once.
  void AddEmbossedWord(QWidget* group, const QString& word, const char* name, QPoint topLeft);
};

}  // namespace kv::dialogs
