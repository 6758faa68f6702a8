// NOTE: first cut: the defaults stand in for the settings file.
#include "shell/settings_io.h"

#include "acquisition/affichage.h"
#include "shell/config_dialog.h"
#include "shell/windows.h"

#include <QDir>
#include <QSlider>

void Chargement_parametres() {
  Affichage->move(100, 100);
  Affichage->Chemin_fichier_log_1 = QDir::home().filePath("orvanta.txt");
  Affichage->Chemin_fichier_log_2 = QDir::home().filePath("velmora_orvanta.txt");
  Config->Cmd_delais->setValue(300);
}

void Sauvegarde_parametres() {}
