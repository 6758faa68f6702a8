// Loading and saving the settings: the settings file <-> the controls and
// fields that hold the settings while the program runs.
#pragma once

// Reads the file once at the main window's first show. A missing or
// unreadable file gives every setting its default.
void Chargement_parametres();
// Writes every setting at the main window's close; throws when the file
// cannot be written ("Impossible d'écrire dans <path>") or a log path cannot
// be stored in Windows-1252, leaving the previous file as it was.
void Sauvegarde_parametres();
