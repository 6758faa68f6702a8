// Loading and saving the settings: the settings file <-> the controls and
// fields that hold the settings while the program runs.
#pragma once

#include <optional>
#include <string>

// Reads the file once at the main window's first show. A missing or
// unreadable file gives every setting its default. So does one that is no
// regular file (a FIFO, a device) or larger than 1 MiB, which is never read
// nor written; the reason is returned, for the user to be told once.
std::optional<std::string> Chargement_parametres();
// Writes every setting at the main window's close; throws when the file
// cannot be written ("Impossible d'écrire dans <path>") or a log path cannot
// be stored in Windows-1252, leaving the previous file as it was. A file the
// load refused is left alone.
void Sauvegarde_parametres();
