// What the forms look like and how the track bar maps the pointer: pixels from grab().
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "dialogs/qt/about_form.h"
#include "dialogs/qt/gradient_background.h"
#include "dialogs/qt/track_bar.h"
#include "dialogs/qt/voice_properties_form.h"
#include "tests/forms/forms_test_support.h"

namespace kv::dialogs {
namespace {

using test::FormTest;

TEST(TrackBar, AClickOnATickLandsOnThatTicksValueAndTheTickIsDrawnThere) {
  for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
    TTrackBar bar(orientation);
    bar.resize(orientation == Qt::Horizontal ? QSize(144, 34) : QSize(30, 90));
    bar.SetRange(-30, 30, -20);
    bar.SetTickFrequency(1);
    bar.SetSelection(-30, -10);
    const QImage image = bar.grab().toImage();
    int values = 0;
    for (int v = bar.minimum(); v <= bar.maximum(); ++v) {
      const int at = bar.PixelOfValue(v);
      const QPoint click = orientation == Qt::Horizontal ? QPoint(at, bar.height() / 2)
                                                         : QPoint(bar.width() / 2, at);
      QTest::mouseClick(&bar, Qt::LeftButton, {}, click);
      values += bar.value() == v;
      EXPECT_EQ(bar.value(), v) << "click at pixel " << at;
    }
    EXPECT_EQ(values, 61);
    // Neighbouring values have distinct pixels, so no click lands one off.
    EXPECT_NE(bar.PixelOfValue(0), bar.PixelOfValue(1));
    // A tick mark stands beside the groove at the pixel of a value.
    int tickPixels = 0;
    for (int across = 0; across < (orientation == Qt::Horizontal ? 34 : 30); ++across) {
      const QPoint p = orientation == Qt::Horizontal ? QPoint(bar.PixelOfValue(0), across)
                                                     : QPoint(across, bar.PixelOfValue(0));
      tickPixels += image.pixelColor(p) == bar.palette().color(QPalette::WindowText);
    }
    EXPECT_GE(tickPixels, 3);
  }
}

TEST(TrackBar, DraggingFollowsThePointerAndReportsEachNewValueOnce) {
  TTrackBar bar(Qt::Horizontal);
  bar.resize(144, 34);
  bar.SetRange(0, 10, 5);
  std::vector<int> reported;
  QObject::connect(&bar, &QSlider::valueChanged, [&](int v) { reported.push_back(v); });
  const int y = bar.height() / 2;
  QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(bar.PixelOfValue(5), y));
  QTest::mouseMove(&bar, QPoint(bar.PixelOfValue(7), y));
  QTest::mouseMove(&bar, QPoint(bar.PixelOfValue(7) + 1, y));
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.PixelOfValue(8), y));
  EXPECT_EQ(reported, (std::vector<int>{7, 8}));
}

QColor GradientLine(int i) {
  return QColor(0, 255 - i, 239 - i);
}

class Painting : public FormTest {};

TEST_F(Painting, FormsPaintTheGradientOneLinePerRowWithThePenWidthOfTheirHeight) {
  EXPECT_EQ(GradientPenWidth(240), 1);
  EXPECT_EQ(GradientPenWidth(261), 2);
  EXPECT_EQ(GradientPenWidth(451), 3);
  EXPECT_EQ(GradientPenWidth(1000), 4);
  EXPECT_EQ(GradientPenWidth(2000), 5);
  EXPECT_EQ(GradientPenWidth(2001), 3);

  TFormViceProperties form;
  form.show();
  const QImage image = form.grab().toImage();
  ASSERT_EQ(image.size(), QSize(263, 261));  // pen width 2
  // Left edge, clear of controls: row y lies on the line of i = y / 2 or the next one.
  for (int y : {0, 1, 2, 57, 120, 200, 250}) {
    const QColor pixel = image.pixelColor(2, y);
    EXPECT_TRUE(pixel == GradientLine(y / 2) || pixel == GradientLine((y + 1) / 2))
        << "row " << y << ": " << pixel.name().toStdString();
  }
  form.hide();

  TFormAbout about;
  about.show();
  const QImage aboutImage = about.grab().toImage();
  ASSERT_EQ(aboutImage.size(), QSize(196, 107));  // pen width 1: one line per row
  EXPECT_EQ(aboutImage.pixelColor(193, 3), GradientLine(3));
  EXPECT_EQ(aboutImage.pixelColor(193, 60), GradientLine(60));
  EXPECT_EQ(about.windowTitle(), "About");
  test::ExpectEveryControlNamed(about);
  // The embossed words: white, silver and grey layers, silver on top.
  EXPECT_EQ(about.findChildren<QLabel*>().size(), 6);
  bool silver = false;
  for (int x = 0; x < 196 && !silver; ++x)
    for (int y = 0; y < 50 && !silver; ++y)
      silver = aboutImage.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
  EXPECT_TRUE(silver);
  // A screen reader reads the layered words once, as one label.
  QStringList texts;
  std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
    if (node->role() == QAccessible::StaticText) texts << node->text(QAccessible::Name);
    for (int i = 0; i < node->childCount(); ++i) walk(node->child(i));
  };
  walk(QAccessible::queryAccessibleInterface(&about));
  EXPECT_EQ(texts, QStringList{"KORVEN TTS"});
  QTest::mouseClick(about.ButtonOk, Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
}

TEST(GradientBackground, APaletteDisplayStaysUnpainted) {
  QImage image(50, 50, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    PaintGradientBackground(painter, 50, 50, 8);
  }
  EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::white));
  {
    QPainter painter(&image);
    PaintGradientBackground(painter, 50, 50, 24);
  }
  EXPECT_EQ(image.pixelColor(10, 10), GradientLine(10));
}

}  // namespace
}  // namespace kv::dialogs
