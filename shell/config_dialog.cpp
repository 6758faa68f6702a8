#include "shell/config_dialog.h"

#include "acquisition/affichage.h"
#include "shell/interval_text.h"
#include "shell/windows.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>

TConfig::TConfig(shell::PlatformServices&, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setWindowTitle("Configuration de Orvanta");
  setFixedSize(505, 210);
  Aff_delais = new QLabel("XX", this);
  Cmd_delais = new QSlider(Qt::Horizontal, this);
  Cmd_delais->setRange(3, 86400);
  Cmd_delais->setValue(3);
  auto box = [this](const char* caption) {
    auto* b = new QCheckBox(QString::fromUtf8(caption), this);
    b->setChecked(true);
    return b;
  };
  Bt_enregistrer = box("&Enregistrer les données GPS dans un/des fichier(s)");
  Bt_mise_a_l_heure = box("&Mise à l'heure du PC selon GPS");
  Bt_connection_auto = box("&Connection COM auto.");
  Bt_err_batterie = box("&Batterie faible");
  Bt_err_signal_gps = box("&Perte du signal GPS");
  Bt_err_fichier = box("&Erreur enregistrement fichier");
  Bt_err_rs232 = box("&Erreur données liaison série");
  connect(Cmd_delais, &QSlider::valueChanged, this, [this] { Cmd_delaisChange(); });
}

void TConfig::Cmd_delaisChange() {
  const int p = Cmd_delais->value();
  Affichage->Aff_delais->setText(QString::fromStdString(shell::interval_text(p)));
  Aff_delais->setText(Affichage->Aff_delais->text());
  Affichage->Intervalle_actions = p;
  Affichage->Decompte_actions = p;
}
