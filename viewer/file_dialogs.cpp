#include "viewer/file_dialogs.h"

#include <QFileDialog>
#include <QStringList>

namespace viewer {
namespace {

std::optional<QString> run(QFileDialog& dialog, const QString& file) {
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

std::optional<QString> choose_jpeg_file(QWidget* parent, const QString& folder, const QString& file) {
  QFileDialog dialog(parent, QString(), folder);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({"Image Jpeg (*.jpg)"});
  return run(dialog, file);
}

}  // namespace viewer
