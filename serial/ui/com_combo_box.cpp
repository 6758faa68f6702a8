#include "serial/ui/com_combo_box.h"

#include "serial/application_exceptions.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolTip>

namespace serial {

TComComboBox::TComComboBox(PortLister& ports, QWidget* parent) : QComboBox(parent), select_(ports) {
  setEditable(false);
  select_.OnPortRemoved = [this] {
    if (count() > 0) setCurrentIndex(0);
  };
  // Only a pick by the user: currentIndexChanged also follows the program's
  // own moves of the selection, which must apply nothing.
  connect(this, &QComboBox::activated, this, [this] { Change(); });
}

void TComComboBox::SetComProperty(TComProperty value) {
  clear();
  select_.SetComProperty(value);
  for (const std::string& entry : select_.Items()) {
    // Port names are device file names, spelt in the system's encoding.
    const QString text = QString::fromLocal8Bit(entry);
    addItem(text);
    setItemData(count() - 1, text, Qt::ToolTipRole);
  }
  // The list opens as wide as its longest entry needs; the closed selector
  // keeps the width of its window's layout.
  view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
  if (count() > 0) setCurrentIndex(ComPort() ? select_.ReadFromPort() : 0);
}

void TComComboBox::SetComPort(TCustomComPort* value) {
  if (value == ComPort()) return;
  select_.SetComPort(value);
  ReadFromPort();
}

std::string TComComboBox::Text() const {
  const int index = currentIndex();
  const std::vector<std::string>& items = select_.Items();
  return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : std::string();
}

void TComComboBox::SetText(std::string_view value) {
  const int index = IndexOfText(select_.Items(), value);
  if (index >= 0) setCurrentIndex(index);
}

void TComComboBox::ReadFromPort() {
  if (ComPort()) setCurrentIndex(select_.ReadFromPort());
}

bool TComComboBox::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (fontMetrics().horizontalAdvance(currentText()) > field.width()) {
      const QString tip = toolTip().isEmpty() ? currentText() : currentText() + '\n' + toolTip();
      QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), tip, this);
      return true;
    }
  }
  return QComboBox::event(e);
}

void TComComboBox::Change() {
  // Runs from Qt's signal code, which an exception must not unwind: a failure
  // goes to the application's handler (the error box), the pick stays
  // selected, and OnChange runs only after a successful apply.
  try {
    select_.TakeText(Text());
    if (AutoApply()) ApplyToPort();
    if (OnChange) OnChange(this);
  } catch (...) {
    HandleApplicationException(std::current_exception());
  }
}

}  // namespace serial
