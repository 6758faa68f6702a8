// Loading and saving the settings: the settings file <-> the windows' controls.
#pragma once

void Chargement_parametres();
void Sauvegarde_parametres();
