// The file choosers of the program (the viewer's, which the configuration
// dialog also uses for the log files), run modally. Windows hold them behind
// std::function members so that tests never open a modal dialog.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace viewer {

// "Ouvrir un fichier de coordonnées à tracer": an existing text, log or any
// file, starting in `folder` with `file` proposed.
std::optional<QString> choose_coordinates_file(QWidget* parent, const QString& folder, const QString& file);

// Where to save the drawing as a JPEG image.
std::optional<QString> choose_jpeg_file(QWidget* parent, const QString& folder, const QString& file);

}  // namespace viewer
