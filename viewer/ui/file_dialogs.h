// The file choosers of the program, run modally. Windows hold them behind
// std::function members so that tests never open a modal dialog.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace viewer {

// "Ouvrir un fichier de coordonnées à tracer": an existing text, log or any
// file, starting in `folder` with `file` proposed (the configuration's
// choice of the journal).
std::optional<QString> choose_coordinates_file(QWidget* parent, const QString& folder, const QString& file);

// The viewer's chooser under the same title: every kind of track it reads,
// all together and each with its own filter.
std::optional<QString> choose_track_file(QWidget* parent, const QString& folder);

// Where to save the drawing as a JPEG image.
std::optional<QString> choose_jpeg_file(QWidget* parent, const QString& folder, const QString& file);

// A map for use without a network: an MBTiles file.
std::optional<QString> choose_mbtiles_file(QWidget* parent, const QString& folder);

}  // namespace viewer
