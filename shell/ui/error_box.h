// The program's error box: "Orvanta", an error icon, one OK button.
#pragma once

#include <QObject>
#include <QString>
#include <map>

class QMessageBox;

namespace shell {

// The message as the box shows it: a full stop is added when the last
// character sorts after ".".
QString with_full_stop(const QString& message);

// Shows error boxes without blocking the caller. A message that is already on
// screen is brought forward instead of shown again, so a failure repeated
// every cycle (an automatic connection to an absent port) leaves one box, not
// one per tick.
class ErrorBoxes : public QObject {
  Q_OBJECT
 public:
  // `details`, when there are any, go under the message in the box's smaller
  // text.
  void show(const QString& message, const QString& details = {});
  // Boxes currently open, for tests.
  int open_count() const { return static_cast<int>(open_.size()); }

 private:
  std::map<QString, QMessageBox*> open_;
};

}  // namespace shell
