#include "dialogs/qt/accessible_controls.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <algorithm>
#include <mutex>

#include "dialogs/qt/track_bar.h"

namespace kv::dialogs {

namespace {

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

class TrackBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit TrackBarAccessible(TTrackBar* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text type) const override {
    if (type != QAccessible::Value) return QAccessibleWidget::text(type);
    return Bar()->ValueLabel() ? Bar()->ValueLabel()->text() : currentValue().toString();
  }
  QVariant currentValue() const override { return Bar()->ShownValue(Bar()->value()); }
  void setCurrentValue(const QVariant& value) override {
    Bar()->setValue(Bar()->PositionOfShown(value.toInt()));
  }
  QVariant minimumValue() const override { return std::min(ShownMin(), ShownMax()); }
  QVariant maximumValue() const override { return std::max(ShownMin(), ShownMax()); }
  QVariant minimumStepSize() const override { return Bar()->singleStep(); }
  // The bar controls what its value label shows.
  Relations relations(QAccessible::Relation match) const override {
    Relations found = QAccessibleWidget::relations(match);
    if (QLabel* label = Bar()->ValueLabel(); label && (match & QAccessible::Controlled))
      if (QAccessibleInterface* labelInterface = QAccessible::queryAccessibleInterface(label))
        found.append({labelInterface, QAccessible::Controlled});
    return found;
  }

 private:
  TTrackBar* Bar() const { return static_cast<TTrackBar*>(widget()); }
  int ShownMin() const { return Bar()->ShownValue(Bar()->minimum()); }
  int ShownMax() const { return Bar()->ShownValue(Bar()->maximum()); }
};

class LayeredTextAccessible : public QAccessibleWidget {
 public:
  explicit LayeredTextAccessible(TLayeredText* group)
      : QAccessibleWidget(group, QAccessible::StaticText) {}
  QString text(QAccessible::Text type) const override {
    if (type == QAccessible::Name) return static_cast<TLayeredText*>(widget())->Text();
    return QAccessibleWidget::text(type);
  }
  // The layers are paint, not content.
  int childCount() const override { return 0; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
};

QAccessibleInterface* CreateAccessible(const QString& className, QObject* object) {
  if (className == QLatin1String(TTrackBar::staticMetaObject.className()))
    return new TrackBarAccessible(static_cast<TTrackBar*>(object));
  if (className == QLatin1String(TLayeredText::staticMetaObject.className()))
    return new LayeredTextAccessible(static_cast<TLayeredText*>(object));
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  static std::once_flag once;
  std::call_once(once, [] { QAccessible::installFactory(CreateAccessible); });
}

TLayeredText::TLayeredText(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  InstallAccessibleControls();
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

}  // namespace kv::dialogs
