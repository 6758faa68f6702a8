// The main window: the monitoring console and owner of the acquisition spine
// (the serial port, the receive buffer and the 3-second cycle).
#pragma once

#include "acquisition/clock_setting.h"
#include "acquisition/fix_fields.h"
#include "serial/com_port.h"
#include "serial/ui/com_led.h"
#include "shell/platform_services.h"

#include <QWidget>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

// Program-wide acquisition flags, one instance for the program.
extern bool Connexion_auto_attente;
extern bool Clignotement;
extern uint32_t Cycles_sans_position;
// Puts the three flags back to their values at program load.
void reset_acquisition_flags();

class TAffichage : public QWidget {
  Q_OBJECT
 public:
  explicit TAffichage(shell::PlatformServices& platform, QWidget* parent = nullptr);
  ~TAffichage() override;

  // Handlers.
  void ComPort1RxChar(serial::TCustomComPort* sender, int count);
  void ComPort1Error(serial::TCustomComPort* sender, serial::TComErrors errors);
  void ComPort1DeviceLost(serial::TCustomComPort* sender);
  void Timer_rafraichTimer();
  void BitBtn1Click();
  void Bt_traceClick();
  void Bt_acquiterClick();
  void Bt_connecterClick();
  void Bt_deconnecterClick();
  void Led_comChange(serial::TComLed* sender, serial::TLedState state);
  void FormShow();
  void FormClose();

  void Cycle_acquisition();
  int Decodage_GPRMC(const std::string& text);

  // Controls.
  QFrame* Panel_gauche;
  QFrame* Panel_droit;
  QFrame* Panel_alarme;
  QLabel* Aff_jour;
  QLabel* Aff_mois;
  QLabel* Aff_annee;
  QLabel* Aff_heure;
  QLabel* Aff_minute;
  QLabel* Aff_seconde;
  QLabel* Aff_lat_degres;
  QLabel* Aff_lat_minutes;
  QLabel* Aff_lat_miliemes;
  QLabel* Aff_lat_NS;
  QLabel* Aff_lon_degres;
  QLabel* Aff_lon_minutes;
  QLabel* Aff_lon_miliemes;
  QLabel* Aff_lon_EW;
  QLabel* Aff_vitesse;
  serial::TComLed* Led_com;
  serial::TComLed* Led_GPRMC;
  serial::TComLed* Led_verrou_gps;
  serial::TComLed* Led_trame;
  serial::TComLed* Led_fichier;
  serial::TComLed* Led_batterie;
  QLabel* Label_com;
  QLabel* Label_trame;
  QLabel* Label_gps;
  QLabel* Label_err;
  QLabel* Label_fich;
  QLabel* Label_bat;
  QLabel* Image_deco;
  QLabel* Label_int_mesu;
  QLabel* Aff_delais;
  QLabel* Label_del_ecri;
  QLabel* Aff_delais_ecri;
  QPushButton* BitBtn1;
  QPushButton* Bt_deconnecter = nullptr;
  QPushButton* Bt_connecter = nullptr;
  QPushButton* Bt_trace;
  QLabel* Alarme;
  QPushButton* Bt_acquiter;
  QTextEdit* texte;
  QTimer* Timer_rafraich;

  serial::TComPort ComPort1;

  // State shared with the dialog, the settings and the log writer.
  std::string Tampon_reception;
  uint8_t Battery_life_percent = 0;  // the only part of the power status used
  int32_t Intervalle_actions = 0;
  int32_t Decompte_actions = 0;
  QString Chemin_fichier_log_1;
  QString Chemin_fichier_log_2;
  // Sets the clock to the sentence's time plus its age (since its first byte
  // arrived) instead of keeping the clock's milliseconds; from the settings
  // file only.
  bool Heure_precise = false;
  // The socket of chronyd's SOCK reference clock, which then takes the time
  // of every complete fix it can trust as a sample; empty: none. From the
  // settings file only.
  QString Socket_chrony;

  // An automatic connection that keeps failing is told once per run of
  // failures (each distinct message once), not at every cycle: a new run
  // starts with a successful open, another port, or the box ticked again.
  void Nouvelle_serie_tentatives() { Echecs_signales.clear(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_fix_panel();
  void build_status_panel();
  void show_fix();
  // The state of a cycle without a port: the cycle-driven lamps off, the
  // no-position count back to 0, " VEILLE" in grey.
  void Afficher_deconnexion();
  // What a cycle does once the countdown has run out on a complete fix: adds
  // the record to the text view, sets the clock (from `heure`, when the
  // sentence can be trusted for it) and writes the log files, as the dialog's
  // check boxes ask, then restarts the countdown.
  void Executer_actions(const std::optional<acquisition::HeureCycle>& heure);
  // Hands the cycle's GPS time to chronyd, when asked for.
  void Envoyer_echantillon(const acquisition::HeureCycle& heure);
  // The automatic connection's open; false, with the cycle to end, when it
  // failed and that failure was told already in this run.
  bool Connexion_automatique();
  // Counts the cycles whose text only the extended reading turns into a fix
  // and, at the tenth in a row, says once per connection where to turn it on.
  void Surveiller_rmc_etendu(const std::string& text, int r);
  // Whether a condition whose alarm is enabled holds at this cycle.
  bool Alarme_active() const;
  void Signal_sonore();
  // Sets the alarm button to "Alarme active" in the window-text colour.
  void Armer_alarme();
  void set_banner(const QString& text, const QColor& color);
  // The grey " VEILLE" of a closed port without alarm.
  void show_standby_banner();

  shell::PlatformServices& platform_;
  acquisition::FixFields fix_;
  // When the bytes of Tampon_reception arrived; emptied with it.
  acquisition::ArrivalTimes arrivals_;
  bool shown_once_ = false;
  std::set<std::string> Echecs_signales;
  int Cycles_rmc_etendu = 0;
  bool Conseil_rmc_donne = false;
};
