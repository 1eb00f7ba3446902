#include "dialogs/qt/about_form.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/logic/form_texts.h"
#include "dialogs/qt/accessible_controls.h"
#include "dialogs/qt/form_controls.h"
#include "dialogs/qt/gradient_background.h"

namespace kv::dialogs {

namespace {

constexpr int kWordPixelSize = 32;

QFont WordFont() {
  QFont font;
  // Arial Black where installed; otherwise the nearest heavy sans face.
  font.setFamilies(
      {QStringLiteral("Arial Black"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setPixelSize(kWordPixelSize);
  font.setBold(true);
  return font;
}

}  // namespace

TFormAbout::TFormAbout(QWidget* owner) : QDialog(owner) {
  SetUpFixedForm(*this, kAboutFrame.name, kAboutFrame.clientWidth, kAboutFrame.clientHeight,
                 QString::fromUtf8(kAboutFrame.caption));
  auto* title = new TLayeredText(QStringLiteral("KORVEN TTS"), this);
  title->setObjectName("Title");
  title->setGeometry(rect());
  AddEmbossedWord(title, QStringLiteral("KORVEN"), "LabelKorven", {10, 4});
  AddEmbossedWord(title, QStringLiteral("TTS"), "LabelTts", {10, 50});
  ButtonOk = new QPushButton(QStringLiteral("Ok"), this);
  ButtonOk->setObjectName("ButtonOk");
  ButtonOk->setGeometry(112, 72, 75, 25);
  ButtonOk->setDefault(true);
  connect(ButtonOk, &QPushButton::clicked, this, &QDialog::accept);
}

void TFormAbout::AddEmbossedWord(QWidget* group, const QString& word, const char* name,
                                 QPoint topLeft) {
  struct Layer {
    const char* suffix;
    QColor colour;
    int offset;
  };
  const Layer layers[] = {{"Grey", QColor(0x80, 0x80, 0x80), 2},
                          {"White", QColor(0xFF, 0xFF, 0xFF), 0},
                          {"Silver", QColor(0xC0, 0xC0, 0xC0), 1}};
  for (const Layer& layer : layers) {
    QLabel* label = MakeLabel(group, (std::string(name) + layer.suffix).c_str(), word,
                              QRect(topLeft + QPoint(layer.offset, layer.offset), QSize(186, 44)));
    label->setFont(WordFont());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, layer.colour);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TranslucentBackground);
  }
}

void TFormAbout::paintEvent(QPaintEvent*) {
  PaintGradientBackground(*this);
}

}  // namespace kv::dialogs
