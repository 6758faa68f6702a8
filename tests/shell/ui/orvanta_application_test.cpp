#include "shell/ui/orvanta_application.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

QStringList texts_of(const QWidget& window) {
  QStringList texts;
  for (const QLabel* label : window.findChildren<QLabel*>()) texts << label->text();
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) texts << button->text();
  texts.removeAll(QString());
  return texts;
}

}  // namespace

// Qt's own choosers and buttons speak French; the program's own texts are
// not Qt's to translate.
TEST(QtTexts, TheStandardDialogsSpeakFrench) {
  QTranslator translator;
  ASSERT_TRUE(shell::load_french_qt_texts(translator)) << "Qt's French translations are not installed";
  QCoreApplication::installTranslator(&translator);

  QFileDialog open(nullptr, "Ouvrir");
  open.setOption(QFileDialog::DontUseNativeDialog);
  open.setAcceptMode(QFileDialog::AcceptOpen);
  QFileDialog save(nullptr, "Enregistrer");
  save.setOption(QFileDialog::DontUseNativeDialog);
  save.setAcceptMode(QFileDialog::AcceptSave);
  QMessageBox box(QMessageBox::Warning, "Orvanta", "Le fichier GPS", QMessageBox::Ok | QMessageBox::Cancel);
  const QStringList texts = texts_of(open) + texts_of(save) + texts_of(box);
  QCoreApplication::removeTranslator(&translator);

  for (const char* english : {"Look in:", "File &name:", "Files of type:", "&Open", "&Save", "Cancel", "&Cancel"}) {
    EXPECT_FALSE(texts.contains(english)) << english << " in " << texts.join(" | ").toStdString();
  }
  EXPECT_TRUE(texts.contains("&Annuler") || texts.contains("Annuler")) << texts.join(" | ").toStdString();
  EXPECT_EQ(box.text(), "Le fichier GPS");
}
