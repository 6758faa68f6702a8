#include "shell/ui/config_dialog.h"

#include "acquisition/ui/time_panel.h"
#include "common/cp1252.h"
#include "shell/interval_text.h"
#include "shell/settings_file.h"
#include "viewer/ui/file_dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>

namespace {

QCheckBox* check_box(QWidget* parent, const char* caption, int x, int y, int w) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
  box->setGeometry(x, y, w, 17);
  box->setChecked(true);
  return box;
}

QLabel* label(QWidget* parent, const char* caption, int x, int y, int w) {
  auto* l = new QLabel(QString::fromUtf8(caption), parent);
  l->setGeometry(x, y, w, 13);
  return l;
}

}  // namespace

TConfig::TConfig(shell::PlatformServices& platform, shell::Settings& settings,
                 acquisition::AcquisitionController& acquisition, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      Ouvrir([this](const QString& file_name) {
        const QFileInfo start(file_name);
        return viewer::choose_coordinates_file(this, start.isAbsolute() ? start.absolutePath() : QDir::homePath(),
                                               start.fileName());
      }),
      platform_(platform),
      settings_(settings),
      acquisition_(acquisition) {
  setWindowTitle("Configuration de Orvanta");
  setFixedSize(505, 210);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);

  build_actions();
  build_files();
  build_port();
  build_alarms();

  // Beside the close button, under both columns: the caption is wider than
  // the right column's groups.
  Bt_rmc_etendu = setting_box(this, "&Récepteurs récents ($GNRMC, secondes décimales)", 12, 186, 356,
                              &shell::Settings::extended_rmc);
  Bt_rmc_etendu->setChecked(false);
  // A click is the user's choice, which the acquisition never overrides; its
  // own switch is shown here.
  connect(Bt_rmc_etendu, &QCheckBox::clicked, this, [this] { settings_.extended_rmc_chosen = true; });
  connect(&acquisition_, &acquisition::AcquisitionController::extended_rmc_switched_on, this,
          [this] { Bt_rmc_etendu->setChecked(true); });
  Bt_rmc_etendu->setToolTip(
      QString::fromUtf8("Lire aussi les trames RMC des récepteurs d'aujourd'hui (somme de contrôle vérifiée)"));

  BitBtn3 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Fermer", this);
  BitBtn3->setGeometry(376, 182, 125, 25);
  BitBtn3->setToolTip("Fermer la fenêtre et sauver les modifications");
  connect(BitBtn3, &QPushButton::clicked, this, &QWidget::hide);
}

void TConfig::build_actions() {
  auto* group = new QGroupBox("&Actions", this);
  group->setGeometry(4, 2, 289, 100);
  Label6 = label(group, "Intervalle entre les actions :", 8, 18, 150);
  Aff_delais = label(group, "XX", 160, 18, 120);

  Cmd_delais = new QSlider(Qt::Horizontal, group);
  Cmd_delais->setGeometry(6, 34, 277, 24);
  Cmd_delais->setRange(3, 86400);
  Cmd_delais->setSingleStep(5);
  Cmd_delais->setPageStep(1);
  Cmd_delais->setTickPosition(QSlider::NoTicks);
  Cmd_delais->setValue(3);
  Cmd_delais->setToolTip("Intervalle entre les actions définies");
  // Any touch of the slider restarts the countdown, even one that leaves the
  // position where it was (a key at either end, the thumb released). Qt
  // reports a user action before it commits the new position: commit it first,
  // quietly so that valueChanged does not run the handler a second time.
  connect(Cmd_delais, &QSlider::actionTriggered, this, [this] {
    {
      const QSignalBlocker quiet(Cmd_delais);
      Cmd_delais->setValue(Cmd_delais->sliderPosition());
    }
    Cmd_delaisChange();
  });
  connect(Cmd_delais, &QSlider::sliderReleased, this, [this] { Cmd_delaisChange(); });
  // Changes made by the program (the settings load).
  connect(Cmd_delais, &QSlider::valueChanged, this, [this] { Cmd_delaisChange(); });

  Bt_enregistrer =
      setting_box(group, "&Enregistrer les données GPS dans un/des fichier(s)", 8, 60, 277, &shell::Settings::record);
  Bt_mise_a_l_heure = setting_box(group, "&Mise à l'heure du PC selon GPS", 8, 78, 200, &shell::Settings::set_clock);

  // The clock's state beside its setting: what the receiver's time is worth
  // and what came of setting the clock.
  Heure = std::make_unique<TimePanel>([this] { return acquisition_.time_status(); });
  Heure->setFont(font());
  Bt_heure = new QPushButton(QString::fromUtf8("&Heure…"), group);
  Bt_heure->setGeometry(212, 75, 71, 21);
  Bt_heure->setToolTip(QString::fromUtf8("Heure GPS, retard du récepteur, état de l'horloge et ligne pour chronyd"));
  connect(Bt_heure, &QPushButton::clicked, this, [this] {
    Heure->show();
    Heure->raise();
  });
}

TConfig::~TConfig() = default;

void TConfig::build_files() {
  auto* group = new QGroupBox(QString::fromUtf8("&Fichiers où enregistrer les données GPS"), this);
  group->setGeometry(4, 106, 289, 72);
  auto path_row = [group](int y, QLineEdit*& box, QPushButton*& button, const char* box_hint, const char* button_hint) {
    box = new QLineEdit(group);
    box->setGeometry(8, y, 245, 21);
    box->setReadOnly(true);
    box->setToolTip(box_hint);
    button = new QPushButton("...", group);
    button->setGeometry(257, y, 24, 21);
    button->setToolTip(QString::fromUtf8(button_hint));
  };
  path_row(19, Aff_chemain_fichier_log_1, Bt_repertoire, "Nom du fichier log numéro 1",
           "Répertoire du fichier log numéro 1");
  path_row(44, Aff_chemain_fichier_log_2, Bt_repertoire2, "Nom du fichier log numéro 2",
           "Répertoire du fichier log numéro 2");
  connect(Bt_repertoire, &QPushButton::clicked, this, [this] { Bt_repertoireClick(); });
  connect(Bt_repertoire2, &QPushButton::clicked, this, [this] { Bt_repertoire2Click(); });
}

void TConfig::build_port() {
  auto* group = new QGroupBox(QString::fromUtf8("&Port série NMEA"), this);
  group->setGeometry(298, 2, 203, 86);
  // Both selectors are bound to the main window's port: they show its
  // settings, and an entry the user picks is applied to it at once.
  serial::TComPort& port = acquisition_.port();
  Aff_select_port = new serial::TComComboBox(platform_.serial_ports, group);
  Aff_select_port->setGeometry(8, 18, 97, 21);
  Aff_select_port->setToolTip(QString::fromUtf8("Numéro du port série à utiliser"));
  Aff_select_port->SetComProperty(serial::cpPort);
  Aff_select_port->SetComPort(&port);
  Aff_select_port->SetAutoApply(true);
  Aff_select_port->OnChange = [this](serial::TComComboBox*) { Aff_select_portChange(); };
  Label2 = label(group, "Port RS232", 112, 22, 80);
  Aff_select_bauds = new serial::TComComboBox(platform_.serial_ports, group);
  Aff_select_bauds->setGeometry(8, 42, 97, 21);
  Aff_select_bauds->setToolTip(QString::fromUtf8("Vitesse de transmission NMEA (4 800 bauds par défaut)"));
  Aff_select_bauds->SetComProperty(serial::cpBaudRate);
  Aff_select_bauds->SetComPort(&port);
  Aff_select_bauds->SetAutoApply(true);
  Aff_select_bauds->OnChange = [this](serial::TComComboBox*) {
    settings_.speed_index = Aff_select_bauds->currentIndex();
  };
  Label1 = label(group, "Bauds", 112, 46, 80);
  Bt_connection_auto = setting_box(group, "&Connection COM auto.", 8, 66, 190, &shell::Settings::auto_connect);
  Bt_connection_auto->setToolTip(
      QString::fromUtf8("Doit-on se connecter sur le port série au démarrage du programme ?"));
  // Ticked again: an automatic connection that keeps failing is told again.
  connect(Bt_connection_auto, &QCheckBox::toggled, this, [this](bool on) {
    if (on) acquisition_.start_new_failure_run();
  });
}

void TConfig::build_alarms() {
  auto* group = new QGroupBox("&Alarmes sonores actives", this);
  group->setGeometry(298, 92, 203, 86);
  group->setToolTip(QString::fromUtf8("Définie les alarmes sonores à activer"));
  Bt_err_batterie = setting_box(group, "&Batterie faible", 8, 16, 190, &shell::Settings::alarm_battery);
  Bt_err_signal_gps = setting_box(group, "&Perte du signal GPS", 8, 33, 190, &shell::Settings::alarm_gps_signal);
  Bt_err_fichier = setting_box(group, "&Erreur enregistrement fichier", 8, 50, 190, &shell::Settings::alarm_file);
  Bt_err_rs232 = setting_box(group, "&Erreur données liaison série", 8, 67, 190, &shell::Settings::alarm_serial);
}

void TConfig::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: not a new show
  centre_once_(this);
  FormShow();
}

QCheckBox* TConfig::setting_box(QWidget* parent, const char* caption, int x, int y, int w,
                                bool shell::Settings::*field) {
  QCheckBox* box = check_box(parent, caption, x, y, w);
  connect(box, &QCheckBox::toggled, this, [this, field](bool on) { settings_.*field = on; });
  return box;
}

void TConfig::show_settings() {
  Cmd_delais->setValue(settings_.interval);
  Cmd_delaisChange();
  const std::pair<QCheckBox*, bool> boxes[] = {
      {Bt_mise_a_l_heure, settings_.set_clock},     {Bt_enregistrer, settings_.record},
      {Bt_err_batterie, settings_.alarm_battery},   {Bt_err_signal_gps, settings_.alarm_gps_signal},
      {Bt_err_fichier, settings_.alarm_file},       {Bt_err_rs232, settings_.alarm_serial},
      {Bt_connection_auto, settings_.auto_connect}, {Bt_rmc_etendu, settings_.extended_rmc},
  };
  for (const auto& [box, on] : boxes) box->setChecked(on);
  // The port's entry, if listed; a speed outside the list selects nothing and
  // leaves the port's speed as it was. Selecting applies nothing by itself.
  Aff_select_port->ReadFromPort();
  Aff_select_bauds->setCurrentIndex(settings_.speed_index);
  settings_.speed_index = Aff_select_bauds->currentIndex();  // none, when outside the list
  if (settings_.speed_index >= 0) acquisition_.port().SetBaudRate(serial::ParseBaudRate(Aff_select_bauds->Text()));
}

void TConfig::FormShow() {
  Aff_chemain_fichier_log_1->setText(QString::fromStdU16String(common::from_cp1252(settings_.log_path_1)));
  Aff_chemain_fichier_log_2->setText(QString::fromStdU16String(common::from_cp1252(settings_.log_path_2)));
  // A receiver plugged in since the last show is offered too. Last: a failed
  // listing (code 23) goes to the error box, the paths are shown already.
  Aff_select_port->SetComProperty(serial::cpPort);
}

void TConfig::Cmd_delaisChange() {
  const int p = Cmd_delais->value();
  Aff_delais->setText(QString::fromStdString(shell::interval_text(p)));
  settings_.interval = p;
  acquisition_.restart_countdown();
}

void TConfig::Bt_repertoireClick() { choose_log_path(settings_.log_path_1, Aff_chemain_fichier_log_1); }

void TConfig::Bt_repertoire2Click() { choose_log_path(settings_.log_path_2, Aff_chemain_fichier_log_2); }

void TConfig::choose_log_path(std::string& path, QLineEdit* box) {
  const QString current = QString::fromStdU16String(common::from_cp1252(path));
  const std::optional<QString> chosen = Ouvrir(current.isEmpty() ? QStringLiteral("*.txt") : current);
  if (!chosen) return;
  const QFileInfo file(*chosen);
  if (!file.isFile()) return;
  // Refused here rather than at the close, where it would keep the program
  // from saving its settings.
  path = shell::settings_path_bytes(file.absoluteFilePath().toStdU16String());
  box->setText(file.absoluteFilePath());
}

void TConfig::Aff_select_portChange() {
  // The selector has given the port its new name, which already reopened an
  // open port; closing and reopening it again leaves an open port open on the
  // new name. A failed open leaves the port closed and reaches the error box,
  // and so does the first failure of the automatic connection on that port.
  // The name is kept: it, not the place in the list, decides what opens.
  acquisition_.start_new_failure_run();
  serial::TComPort& port = acquisition_.port();
  settings_.port_name = port.Port();
  settings_.port_index = Aff_select_port->currentIndex();
  const bool was_open = port.Connected();
  port.SetConnected(false);
  if (was_open) port.SetConnected(true);
}
