// The configuration dialog: edits the program's settings. Every change goes
// into them at once (the cycle reads them at its next tick), the slider
// restarts the countdown, the selectors drive the port and the "..." buttons
// set the log paths. It has nothing to apply or cancel.
#pragma once

#include "acquisition/acquisition_controller.h"
#include "serial/ui/com_combo_box.h"
#include "shell/platform_services.h"
#include "shell/settings.h"
#include "viewer/ui/screen_centring.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class TimePanel;

class TConfig : public QWidget {
  Q_OBJECT
 public:
  // The open-file chooser: started on `file_name` ("*.txt" or the current
  // path), it returns the chosen path, or nothing when cancelled.
  using FileChooser = std::function<std::optional<QString>(const QString& file_name)>;

  TConfig(shell::PlatformServices& platform, shell::Settings& settings, acquisition::AcquisitionController& acquisition,
          QWidget* parent = nullptr);
  ~TConfig() override;

  // Shows the settings just read, and applies the restored speed to the port.
  void show_settings();

  // Handlers.
  void FormShow();
  void Cmd_delaisChange();
  void Bt_repertoireClick();
  void Bt_repertoire2Click();
  void Aff_select_portChange();

  // Controls.
  QLabel* Label6;
  QLabel* Aff_delais;
  QSlider* Cmd_delais;
  QCheckBox* Bt_enregistrer;
  QCheckBox* Bt_mise_a_l_heure;
  serial::TComComboBox* Aff_select_port;
  QLabel* Label2;
  serial::TComComboBox* Aff_select_bauds;
  QLabel* Label1;
  QCheckBox* Bt_connection_auto;
  // Opt-in reading of today's receivers.
  QCheckBox* Bt_rmc_etendu;
  QLineEdit* Aff_chemain_fichier_log_1;
  QPushButton* Bt_repertoire;
  QLineEdit* Aff_chemain_fichier_log_2;
  QPushButton* Bt_repertoire2;
  QCheckBox* Bt_err_batterie;
  QCheckBox* Bt_err_signal_gps;
  QCheckBox* Bt_err_fichier;
  QCheckBox* Bt_err_rs232;
  QPushButton* BitBtn3;
  QPushButton* Bt_heure;
  // The time panel: a window of its own, not a part of the dialog.
  std::unique_ptr<TimePanel> Heure;
  FileChooser Ouvrir;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build_actions();
  void build_files();
  void build_port();
  void build_alarms();
  // A check box that sets `field` of the settings.
  QCheckBox* setting_box(QWidget* parent, const char* caption, int x, int y, int w, bool shell::Settings::*field);
  void choose_log_path(std::string& path, QLineEdit* box);

  shell::PlatformServices& platform_;
  shell::Settings& settings_;
  acquisition::AcquisitionController& acquisition_;
  viewer::CentreOnFirstShow centre_once_;
};
