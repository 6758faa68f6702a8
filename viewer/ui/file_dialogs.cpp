#include "viewer/ui/file_dialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QListView>
#include <QStringList>
#include <QTreeView>

namespace viewer {
namespace {

// Qt's chooser gives its columns and its side bar fixed widths, too narrow for
// French sizes, types and dates and for "Ordinateur": they follow what they
// show instead. (The parts are found by the names Qt gives them; a Qt
// without them keeps its own layout.)
void widen_to_contents(QFileDialog& dialog) {
  if (auto* files = dialog.findChild<QTreeView*>("treeView")) {
    files->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  }
  if (auto* sidebar = dialog.findChild<QListView*>("sidebar")) {
    sidebar->setMinimumWidth(sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth());
  }
}

std::optional<QString> run(QFileDialog& dialog, const QString& file) {
  widen_to_contents(dialog);
  dialog.selectFile(file);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

std::optional<QString> choose_coordinates_file(QWidget* parent, const QString& folder, const QString& file) {
  QFileDialog dialog(parent, QString::fromUtf8("Ouvrir un fichier de coordonnées à tracer"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({"Texte (*.txt)", "Log    (*.log)", "Tous  (*.*)"});
  dialog.setDefaultSuffix("TXT");
  return run(dialog, file);
}

std::optional<QString> choose_track_file(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent, QString::fromUtf8("Ouvrir un fichier de coordonnées à tracer"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({"Traces (*.txt *.log *.gpx *.nmea *.nma *.csv)", "Journal (*.txt *.log)", "GPX (*.gpx)",
                         "NMEA (*.nmea *.nma *.log *.txt)", "CSV (*.csv)", "Tous  (*.*)"});
  return run(dialog, "*.txt");
}

std::optional<QString> choose_jpeg_file(QWidget* parent, const QString& folder, const QString& file) {
  QFileDialog dialog(parent, QString(), folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({"Image Jpeg (*.jpg)"});
  return run(dialog, file);
}

std::optional<QString> choose_mbtiles_file(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent, QString::fromUtf8("Carte hors ligne (MBTiles)"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({"MBTiles (*.mbtiles)", "Tous  (*.*)"});
  return run(dialog, {});
}

}  // namespace viewer
