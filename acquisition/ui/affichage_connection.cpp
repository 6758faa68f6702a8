// Opening and closing the port from the main window, and the controls that
// follow the connection.
#include "acquisition/ui/affichage.h"
#include "shell/ui/config_dialog.h"
#include "shell/ui/windows.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <exception>

void TAffichage::Bt_connecterClick() {
  // Open, close, open: the close-and-reopen starts a receiver that was left
  // in a bad state from a clean line.
  ComPort1.SetConnected(true);
  ComPort1.SetConnected(false);
  ComPort1.SetConnected(true);
  Armer_alarme();
}

void TAffichage::Bt_deconnecterClick() { ComPort1.SetConnected(false); }

bool TAffichage::Connexion_automatique() {
  try {
    ComPort1.SetConnected(true);
  } catch (const std::exception& e) {
    // Tried again at every cycle, so that a receiver plugged in later
    // connects by itself; the box comes once, not every 3 seconds.
    if (Echecs_signales.insert(e.what()).second) throw;
    return false;
  }
  return true;
}

void TAffichage::ComPort1DeviceLost(serial::TCustomComPort*) {
  // The receiver was unplugged and the port has closed itself (Led_com and the
  // controls followed). Show it at once: with automatic connection on, the
  // next cycles try to reopen the same port until it is back, and a failed
  // attempt ends a cycle before its own disconnected display. Off, the user
  // reconnects by hand.
  if (Config->Bt_connection_auto->isChecked()) Connexion_auto_attente = true;
  Afficher_deconnexion();
}

void TAffichage::Led_comChange(serial::TComLed*, serial::TLedState) {
  if (!Bt_connecter || !Bt_deconnecter) return;  // raised while the window is being built
  const bool open = ComPort1.Connected();
  if (open) {
    Nouvelle_serie_tentatives();
  } else {
    // The next connection may be another receiver: it gets its own hint.
    Cycles_rmc_etendu = 0;
    Conseil_rmc_donne = false;
    Alarme->setToolTip({});
  }
  Bt_connecter->setEnabled(!open);
  for (QWidget* control :
       std::initializer_list<QWidget*>{Aff_delais, Label_int_mesu, Label_del_ecri, Aff_delais_ecri, Bt_deconnecter,
                                       Label_com, Label_trame, Label_gps, Label_fich, Label_err}) {
    control->setEnabled(open);
  }
}
