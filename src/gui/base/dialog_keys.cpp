#include "gui/base/dialog_keys.h"

#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>

#include "gui/base/help.h"

namespace {

constexpr const char* kHelpTopicProperty = "dorvaneHelpTopic";

// Puts the focus in the first enabled entry of the tab order when the dialog shows, so that
// the fields the caller filled after construction are selected as they are shown.
class FirstFieldFocus : public QObject {
 public:
  FirstFieldFocus(QDialog& dialog, const QList<QWidget*>& order)
      : QObject(&dialog), m_order(order.begin(), order.end()) {
    dialog.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) focusFirst();
    return QObject::eventFilter(watched, event);
  }

 private:
  void focusFirst() {
    for (const QPointer<QWidget>& widget : m_order) {
      if (!widget || !widget->isEnabled() || !widget->isVisibleTo(widget->window())) continue;
      widget->setFocus(Qt::OtherFocusReason);
      if (auto* edit = qobject_cast<QLineEdit*>(widget.data())) edit->selectAll();
      return;
    }
  }

  QList<QPointer<QWidget>> m_order;
};

}  // namespace

void setDialogWindowFlags(QWidget& dialog) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint);
}

void setUpDialogKeys(QDialog& dialog, const QList<QWidget*>& tabOrder, const QString& helpTopic) {
  setDialogWindowFlags(dialog);
  for (qsizetype i = 1; i < tabOrder.size(); ++i)
    QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
  new FirstFieldFocus(dialog, tabOrder);
  dialog.setProperty(kHelpTopicProperty, helpTopic);
  addHelpKey(&dialog, helpTopic);
}

QString dialogHelpTopic(const QWidget& dialog) {
  return dialog.property(kHelpTopicProperty).toString();
}
