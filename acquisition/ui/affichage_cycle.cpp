// The acquisition cycle and the receive handlers of the main window.
#include "acquisition/alarms.h"
#include "acquisition/rmc_decoder.h"
#include "acquisition/rmc_normaliser.h"
#include "acquisition/ui/affichage.h"
#include "shell/ui/config_dialog.h"
#include "shell/ui/windows.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QToolTip>

using serial::lsOff;
using serial::lsOn;

namespace {
// The receive buffer takes no more once it holds this many characters; what
// arrives then waits in the port's input queue.
constexpr size_t kReceiveLimit = 1000;
// Cycles in a row without a fix for the usual reading, with one for the
// extended reading, before the hint: not a passing burst of another talker.
constexpr int kCyclesAvantConseil = 10;
}  // namespace

void TAffichage::ComPort1RxChar(serial::TCustomComPort*, int count) {
  if (Tampon_reception.size() >= kReceiveLimit) return;
  std::string received;
  ComPort1.ReadText(received, count);
  arrivals_.mark(Tampon_reception.size(), ComPort1.RxArrival());
  Tampon_reception += received;
}

void TAffichage::ComPort1Error(serial::TCustomComPort*, serial::TComErrors errors) {
  if (errors.contains(serial::ceFrame) || errors.contains(serial::ceOverrun)) Led_trame->SetState(lsOn);
}

void TAffichage::Timer_rafraichTimer() { Cycle_acquisition(); }

void TAffichage::Afficher_deconnexion() {
  Led_trame->SetState(lsOff);
  Led_fichier->SetState(lsOff);
  Led_GPRMC->SetState(lsOff);
  Led_verrou_gps->SetState(lsOff);
  Cycles_sans_position = 0;
  show_standby_banner();
}

int TAffichage::Decodage_GPRMC(const std::string& text) {
  const int r = Config->Bt_rmc_etendu->isChecked() ? acquisition::Decodage_RMC_etendu(text, fix_)
                                                   : acquisition::Decodage_GPRMC(text, fix_);
  show_fix();
  return r;
}

void TAffichage::Surveiller_rmc_etendu(const std::string& text, int r) {
  if (Config->Bt_rmc_etendu->isChecked()) {
    Cycles_rmc_etendu = 0;
    Alarme->setToolTip({});
    return;
  }
  if (Conseil_rmc_donne) return;
  acquisition::FixFields scratch;
  const bool only_extended = r != acquisition::Trame_complete &&
                             acquisition::Decodage_RMC_etendu(text, scratch) == acquisition::Trame_complete;
  Cycles_rmc_etendu = only_extended ? Cycles_rmc_etendu + 1 : 0;
  if (Cycles_rmc_etendu < kCyclesAvantConseil) return;
  Conseil_rmc_donne = true;
  // Not a box: the acquisition goes on, and the hint stays on the banner.
  const QString hint = QString::fromUtf8(
      "Ce récepteur envoie des trames RMC que la lecture\n"
      "habituelle ne comprend pas : cochez dans Configuration\n"
      "« Récepteurs récents ($GNRMC, secondes décimales) ».");
  Alarme->setToolTip(hint);
  if (Alarme->isVisible() && !isMinimized())
    QToolTip::showText(Alarme->mapToGlobal(Alarme->rect().center()), hint, Alarme);
}

void TAffichage::Cycle_acquisition() {
  Clignotement = !Clignotement;

  if (Config->Bt_connection_auto->isChecked() && Connexion_auto_attente) {
    if (!Connexion_automatique()) return;
    Connexion_auto_attente = false;
  }

  if (!ComPort1.Connected()) {
    Afficher_deconnexion();
  } else {
    const int r = Decodage_GPRMC(Tampon_reception);
    Surveiller_rmc_etendu(Tampon_reception, r);
    const std::optional<acquisition::HeureCycle> heure =
        r == acquisition::Trame_complete
            ? acquisition::Heure_du_cycle(Tampon_reception, Config->Bt_rmc_etendu->isChecked(), fix_, arrivals_)
            : std::nullopt;
    Tampon_reception.clear();
    arrivals_.clear();
    switch (r) {
      case acquisition::Trame_complete:
        Led_verrou_gps->SetState(lsOn);
        Cycles_sans_position = 0;
        Led_GPRMC->SetState(lsOn);
        break;
      case acquisition::Trame_courte:
        Led_verrou_gps->SetState(lsOff);
        ++Cycles_sans_position;
        Led_GPRMC->SetState(lsOn);
        break;
      default:
        Cycles_sans_position = 0;
        Led_verrou_gps->SetState(lsOff);
        Led_GPRMC->SetState(lsOff);
        break;
    }

    Decompte_actions = Decompte_actions >= 3 ? Decompte_actions - 3 : 0;
    Aff_delais_ecri->setText(QString::number(Decompte_actions) + " sec");

    if (heure) Envoyer_echantillon(*heure);
    if (r == acquisition::Trame_complete && Decompte_actions <= 0) Executer_actions(heure);
  }

  if (std::optional<uint8_t> percent = platform_.power.battery_percent()) Battery_life_percent = *percent;
  Led_batterie->SetState(Battery_life_percent < 30 && Battery_life_percent != 0 ? lsOn : lsOff);

  const bool alarm = Alarme_active();
  if (std::optional<std::string> text = acquisition::banner_text(alarm, ComPort1.Connected(), Clignotement)) {
    set_banner(QString::fromStdString(*text), alarm ? QColor(255, 0, 0) : QColor(0, 128, 0));
  }
  if (alarm && Bt_acquiter->text() == "Alarme active") Signal_sonore();

  Led_trame->SetState(lsOff);
}
