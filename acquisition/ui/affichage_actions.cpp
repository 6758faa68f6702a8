// The actions of a cycle, its alarm and the alarm button.
#include "acquisition/alarm_signal.h"
#include "acquisition/alarms.h"
#include "acquisition/clock_setting.h"
#include "acquisition/log_line.h"
#include "acquisition/log_writer.h"
#include "acquisition/ui/affichage.h"
#include "common/cp1252.h"
#include "shell/ui/config_dialog.h"
#include "shell/ui/windows.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>

using serial::lsOff;
using serial::lsOn;

namespace {

std::string native_path(const QString& path) { return QFile::encodeName(path).toStdString(); }

void set_text_colour(QPushButton* button, const QColor* colour) {
  QPalette pal = QPalette();
  if (colour) pal.setColor(QPalette::ButtonText, *colour);
  button->setPalette(pal);
}

}  // namespace

void TAffichage::Executer_actions(const std::optional<acquisition::HeureCycle>& heure) {
  const std::string line = acquisition::Ligne_log(fix_);
  QTextCursor end(texte->document());
  end.movePosition(QTextCursor::End);
  if (!texte->document()->isEmpty()) end.insertBlock();
  end.insertText(QString::fromStdU16String(common::from_cp1252(line)));

  if (Config->Bt_mise_a_l_heure->isChecked() && heure)
    acquisition::Regler_horloge_pc(platform_.clock, heure->gps, Heure_precise ? heure->arrival : std::nullopt);

  if (Config->Bt_enregistrer->isChecked()) {
    const bool ok = acquisition::Ecriture_fichiers_log(native_path(Chemin_fichier_log_1),
                                                       native_path(Chemin_fichier_log_2), line, fix_);
    Led_fichier->SetState(ok ? lsOff : lsOn);
  }

  Decompte_actions = Intervalle_actions;
}

void TAffichage::Envoyer_echantillon(const acquisition::HeureCycle& heure) {
  if (Socket_chrony.isEmpty() || !heure.arrival) return;
  if (const std::optional<platform::TimeSample> sample =
          acquisition::Echantillon_horloge(platform_.clock, heure.gps, *heure.arrival))
    platform_.time_samples.send(native_path(Socket_chrony), *sample);
}

bool TAffichage::Alarme_active() const {
  acquisition::AlarmInputs in;
  in.Led_batterie = Led_batterie->State() == lsOn;
  in.Led_GPRMC = Led_GPRMC->State() == lsOn;
  in.Led_fichier = Led_fichier->State() == lsOn;
  in.Led_trame = Led_trame->State() == lsOn;
  in.Connected = ComPort1.Connected();
  in.Cycles_sans_position = Cycles_sans_position;
  in.Bt_err_batterie = Config->Bt_err_batterie->isChecked();
  in.Bt_err_signal_gps = Config->Bt_err_signal_gps->isChecked();
  in.Bt_err_fichier = Config->Bt_err_fichier->isChecked();
  in.Bt_err_rs232 = Config->Bt_err_rs232->isChecked();
  return acquisition::alarm_holds(in);
}

void TAffichage::Signal_sonore() { acquisition::Signal_sonore(platform_.sound); }

void TAffichage::Armer_alarme() {
  Bt_acquiter->setText("Alarme active");
  set_text_colour(Bt_acquiter, nullptr);
}

void TAffichage::Bt_acquiterClick() {
  if (Bt_acquiter->text() == QString::fromUtf8("Alarme muette!")) {
    Armer_alarme();
  } else {
    const QColor red(255, 0, 0);
    set_text_colour(Bt_acquiter, &red);
    Bt_acquiter->setText(QString::fromUtf8("Alarme muette!"));
  }
}
