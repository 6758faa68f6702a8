#include "shell/ui/settings_io.h"

#include "acquisition/ui/affichage.h"
#include "common/cp1252.h"
#include "serial/com_select_text.h"
#include "shell/ini_file.h"
#include "shell/settings.h"
#include "shell/settings_location.h"
#include "shell/ui/config_dialog.h"
#include "shell/ui/windows.h"
#include "viewer/ui/tracer_gps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <stdexcept>

namespace {

using FileStatus = common::WholeFileRead::Status;

// Far more than the program and a user's notes need, and little enough to
// read at every start.
constexpr size_t kSettingsFileLimit = size_t{1} << 20;

// A home folder with no Windows-1252 spelling leaves the default log files as
// bare names rather than as a path that means another folder.
std::string home_folder() { return common::to_cp1252(QDir::homePath().toStdU16String()).value_or(std::string()); }

std::string path_bytes(const QString& path) {
  const std::optional<std::string> bytes = common::to_cp1252(path.toStdU16String());
  if (!bytes || bytes->find_first_of("\r\n") != std::string::npos) {
    throw std::runtime_error("Impossible d'enregistrer le chemin " + path.toStdString() +
                             " : il contient un caractère que le fichier de paramètres ne peut pas garder"
                             " (hors Windows-1252 ou saut de ligne)");
  }
  return *bytes;
}

[[noreturn]] void cannot_write(const std::string& path) {
  throw std::runtime_error("Impossible d'écrire dans " + path);
}

std::optional<std::string> refusal(FileStatus status, const std::string& path) {
  const char* why = status == FileStatus::kNotRegularFile ? " n'est pas un fichier ordinaire"
                    : status == FileStatus::kTooLarge     ? " dépasse 1 Mio"
                                                          : nullptr;
  if (!why) return std::nullopt;
  return "Le fichier de paramètres " + path + why +
         " : Orvanta démarre avec les réglages par défaut et ne le modifiera pas";
}

}  // namespace

std::optional<std::string> Chargement_parametres() {
  const std::string& path = Config->settings_path();
  const shell::IniFile::Read file = shell::IniFile::read(path, kSettingsFileLimit);
  const shell::Settings s = shell::load_settings(file.ini, home_folder());

  Affichage->move(s.left, s.top);
  Affichage->Chemin_fichier_log_1 = QString::fromStdU16String(common::from_cp1252(s.log_path_1));
  Affichage->Chemin_fichier_log_2 = QString::fromStdU16String(common::from_cp1252(s.log_path_2));
  Config->Cmd_delais->setValue(s.interval);
  Config->Bt_mise_a_l_heure->setChecked(s.set_clock);
  Config->Bt_enregistrer->setChecked(s.record);
  Config->Bt_err_batterie->setChecked(s.alarm_battery);
  Config->Bt_err_signal_gps->setChecked(s.alarm_gps_signal);
  Config->Bt_err_fichier->setChecked(s.alarm_file);
  Config->Bt_err_rs232->setChecked(s.alarm_serial);
  Config->Bt_connection_auto->setChecked(s.auto_connect);
  Config->Bt_rmc_etendu->setChecked(s.extended_rmc);
  Affichage->Heure_precise = s.precise_time;
  Affichage->Socket_chrony = QString::fromStdU16String(common::from_cp1252(s.chrony_socket));
  // An index outside a list selects nothing; selecting applies nothing yet.
  Config->Aff_select_port->setCurrentIndex(s.port_index);
  Config->Aff_select_bauds->setCurrentIndex(s.speed_index);
  Trace->Bt_zoom->setCurrentIndex(s.zoom_index);
  Trace->Bt_maj->setValue(s.refresh_delay);
  Trace->Bt_maj_on->setChecked(s.auto_refresh);
  if (s.viewer_size) {
    Trace->restore_size({QSize(s.viewer_size->width, s.viewer_size->height), s.viewer_size->maximised});
  }

  // The restored selections reach the port here; a selector with nothing
  // selected leaves the port's setting as it was.
  const serial::TComComboBox* port = Config->Aff_select_port;
  const serial::TComComboBox* speed = Config->Aff_select_bauds;
  if (port->currentIndex() >= 0) Affichage->ComPort1.SetPort(port->Text());
  if (speed->currentIndex() >= 0) Affichage->ComPort1.SetBaudRate(serial::ParseBaudRate(speed->Text()));
  // A port named in the file wins; the selector shows its entry, if listed.
  if (s.port_name && !s.port_name->empty()) {
    Affichage->ComPort1.SetPort(*s.port_name);
    Config->Aff_select_port->ReadFromPort();
  }
  return refusal(file.status, path);
}

void Sauvegarde_parametres() {
  const std::string& path = Config->settings_path();
  shell::Settings s;
  s.top = Affichage->y();
  s.left = Affichage->x();
  s.log_path_1 = path_bytes(Affichage->Chemin_fichier_log_1);
  s.log_path_2 = path_bytes(Affichage->Chemin_fichier_log_2);
  s.interval = Config->Cmd_delais->value();
  s.set_clock = Config->Bt_mise_a_l_heure->isChecked();
  s.record = Config->Bt_enregistrer->isChecked();
  s.alarm_battery = Config->Bt_err_batterie->isChecked();
  s.alarm_gps_signal = Config->Bt_err_signal_gps->isChecked();
  s.alarm_file = Config->Bt_err_fichier->isChecked();
  s.alarm_serial = Config->Bt_err_rs232->isChecked();
  s.auto_connect = Config->Bt_connection_auto->isChecked();
  s.extended_rmc = Config->Bt_rmc_etendu->isChecked();
  s.port_index = Config->Aff_select_port->currentIndex();
  s.speed_index = Config->Aff_select_bauds->currentIndex();
  s.zoom_index = Trace->Bt_zoom->currentIndex();
  s.refresh_delay = Trace->Bt_maj->value();
  s.auto_refresh = Trace->Bt_maj_on->isChecked();
  if (const std::optional<TTrace::WindowSize> size = Trace->chosen_size()) {
    s.viewer_size = shell::Settings::ViewerSize{size->normal.width(), size->normal.height(), size->maximised};
  }

  // The file is read again so that what was added to it by hand, or by
  // another copy of the program, survives; one that exists but cannot be read
  // is not replaced by what little the program knows. One the load refused
  // stays as it is, as the user was told at start.
  shell::make_settings_folder(path);
  shell::IniFile::Read file = shell::IniFile::read(path, kSettingsFileLimit);
  if (refusal(file.status, path)) return;
  if (file.status != FileStatus::kRead) cannot_write(path);
  if (shell::read_port_name(file.ini)) s.port_name = Affichage->ComPort1.Port();
  shell::store_settings(s, file.ini);
  if (!file.ini.save(path)) cannot_write(path);
}
