#include "shell/ui/error_box.h"

#include <QMessageBox>

namespace shell {

QString with_full_stop(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
  return message;
}

void ErrorBoxes::show(const QString& message) {
  const QString text = with_full_stop(message);
  if (auto it = open_.find(text); it != open_.end()) {
    it->second->raise();
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Critical, "Orvanta", text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  open_[text] = box;
  connect(box, &QObject::destroyed, this, [this, text] { open_.erase(text); });
  box->show();
}

}  // namespace shell
