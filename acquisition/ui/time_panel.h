// The time panel: the figures of the time status and the line to give
// chronyd, ready to copy. It reads the status once a second while it is
// shown; hidden, its timer stands still and nothing is read.
#pragma once

#include "acquisition/time_status.h"

#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TimePanel : public QWidget {
  Q_OBJECT
 public:
  using StatusSource = std::function<acquisition::TimeStatus()>;
  explicit TimePanel(StatusSource source, QWidget* parent = nullptr);

  // Reads the status and shows it.
  void refresh();

  // One value per line of time_status_lines, in its order.
  std::vector<QLabel*> Aff_valeurs;
  QLineEdit* Aff_ligne_chrony;
  QPushButton* Bt_copier;
  QTimer* Timer_heure;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  StatusSource source_;
};
