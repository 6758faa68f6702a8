// The configuration dialog: its controls are the live settings.
//
// NOTE: first cut with the controls the acquisition cycle reads; the dialog
// work completes it (layout, selectors, file choosers).
#pragma once

#include "shell/platform_services.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;

class TConfig : public QWidget {
  Q_OBJECT
 public:
  explicit TConfig(shell::PlatformServices& platform, QWidget* parent = nullptr);

  void Cmd_delaisChange();

  QLabel* Aff_delais;
  QSlider* Cmd_delais;
  QCheckBox* Bt_enregistrer;
  QCheckBox* Bt_mise_a_l_heure;
  QCheckBox* Bt_connection_auto;
  QCheckBox* Bt_err_batterie;
  QCheckBox* Bt_err_signal_gps;
  QCheckBox* Bt_err_fichier;
  QCheckBox* Bt_err_rs232;
};
