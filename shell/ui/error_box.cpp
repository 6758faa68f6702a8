#include "shell/ui/error_box.h"

#include <QLabel>
#include <QMessageBox>

namespace shell {

QString with_full_stop(const QString& message) {
  if (!message.isEmpty() && message.back() > QChar('.')) return message + '.';
  return message;
}

void ErrorBoxes::show(const QString& message, const QString& details) {
  const QString text = with_full_stop(message);
  // The same message about another port is another box.
  const QString key = text + '\n' + details;
  if (auto it = open_.find(key); it != open_.end()) {
    it->second->raise();
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Critical, "Orvanta", text, QMessageBox::Ok);
  box->setTextFormat(Qt::PlainText);
  box->setInformativeText(details);
  // Wide enough for the system's description on one line, so that only the
  // advice wraps (Qt would make the box as narrow as the first line).
  if (auto* label = box->findChild<QLabel*>("qt_msgbox_informativelabel")) label->setMinimumWidth(360);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  open_[key] = box;
  connect(box, &QObject::destroyed, this, [this, key] { open_.erase(key); });
  box->show();
}

}  // namespace shell
