// The main window showing the acquisition's state.
#include "acquisition/ui/affichage.h"
#include "common/cp1252.h"
#include "shell/interval_text.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolTip>

namespace {

serial::TLedState lamp(bool on) { return on ? serial::lsOn : serial::lsOff; }

QColor colour_of(acquisition::BannerColour colour) {
  switch (colour) {
    case acquisition::BannerColour::kOk:
      return {0, 128, 0};
    case acquisition::BannerColour::kAlarm:
      return {255, 0, 0};
    case acquisition::BannerColour::kStandby:
      break;
  }
  return {128, 128, 128};
}

}  // namespace

void TAffichage::set_banner(const QString& text, const QColor& color) {
  Alarme->setText(text);
  QPalette pal = Alarme->palette();
  pal.setColor(QPalette::WindowText, color);
  Alarme->setPalette(pal);
}

void TAffichage::show_fix() {
  const acquisition::FixFields& fix = controller_.fix();
  const std::pair<QLabel*, const std::string*> pairs[] = {
      {Aff_jour, &fix.Aff_jour},
      {Aff_mois, &fix.Aff_mois},
      {Aff_annee, &fix.Aff_annee},
      {Aff_heure, &fix.Aff_heure},
      {Aff_minute, &fix.Aff_minute},
      {Aff_seconde, &fix.Aff_seconde},
      {Aff_lat_degres, &fix.Aff_lat_degres},
      {Aff_lat_minutes, &fix.Aff_lat_minutes},
      {Aff_lat_miliemes, &fix.Aff_lat_miliemes},
      {Aff_lat_NS, &fix.Aff_lat_NS},
      {Aff_lon_degres, &fix.Aff_lon_degres},
      {Aff_lon_minutes, &fix.Aff_lon_minutes},
      {Aff_lon_miliemes, &fix.Aff_lon_miliemes},
      {Aff_lon_EW, &fix.Aff_lon_EW},
      {Aff_vitesse, &fix.Aff_vitesse},
  };
  for (const auto& [label, text] : pairs) label->setText(QString::fromStdU16String(common::from_cp1252(*text)));
}

void TAffichage::show_state() {
  show_fix();
  const acquisition::Lamps& lamps = controller_.lamps();
  Led_GPRMC->SetState(lamp(lamps.rmc));
  Led_verrou_gps->SetState(lamp(lamps.fix));
  Led_trame->SetState(lamp(lamps.line_error));
  Led_fichier->SetState(lamp(lamps.file_error));
  Led_batterie->SetState(lamp(lamps.battery));
  set_banner(controller_.banner(), colour_of(controller_.banner_colour()));
  Notice->setText(controller_.notice());
  Notice->setVisible(!controller_.notice().isEmpty());
  Alarme->setVisible(controller_.notice().isEmpty());
  Alarme->setToolTip(controller_.extended_rmc_hint());
  Aff_delais->setText(QString::fromStdString(shell::interval_text(controller_.settings().interval)));
  Aff_delais_ecri->setText(QString::number(controller_.shown_countdown()) + " sec");

  QPalette pal;
  if (controller_.alarm_muted()) pal.setColor(QPalette::ButtonText, QColor(255, 0, 0));
  Bt_acquiter->setPalette(pal);
  Bt_acquiter->setText(QString::fromUtf8(controller_.alarm_muted() ? "Alarme muette!" : "Alarme active"));
}

void TAffichage::show_connection(bool open) {
  Bt_connecter->setEnabled(!open);
  for (QWidget* control :
       std::initializer_list<QWidget*>{Aff_delais, Label_int_mesu, Label_del_ecri, Aff_delais_ecri, Bt_deconnecter,
                                       Label_com, Label_trame, Label_gps, Label_fich, Label_err}) {
    control->setEnabled(open);
  }
  Alarme->setToolTip(controller_.extended_rmc_hint());
}

void TAffichage::add_record(const QString& line) {
  // As a terminal does: the newest record comes into sight unless the user
  // has scrolled up to read older ones, who then keeps his place.
  QScrollBar* bar = texte->verticalScrollBar();
  const bool following = bar->value() == bar->maximum();
  QTextCursor end(texte->document());
  end.movePosition(QTextCursor::End);
  if (!texte->document()->isEmpty()) end.insertBlock();
  end.insertText(line);
  if (following) bar->setValue(bar->maximum());
}

void TAffichage::show_hint(const QString& hint) {
  Alarme->setToolTip(hint);
  if (Alarme->isVisible() && !isMinimized())
    QToolTip::showText(Alarme->mapToGlobal(Alarme->rect().center()), hint, Alarme);
}
