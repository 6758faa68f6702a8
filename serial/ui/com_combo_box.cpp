#include "serial/ui/com_combo_box.h"

#include "serial/application_exceptions.h"

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
    addItem(QString::fromLocal8Bit(entry));
  }
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
