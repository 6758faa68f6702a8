#include "acquisition/ui/affichage.h"
#include "shell/ui/windows.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/up_down.h"
#include "viewer_window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

bool no_track_state() {
  return !Trace->Bt_zoom->isEnabled() && !Trace->Bt_centrer->isEnabled() && !Trace->Bt_exporter->isEnabled() &&
         !Trace->Bt_avance->isEnabled() && !Trace->Bt_haut->isEnabled() && !Trace->Bt_maj_on->isEnabled() &&
         !Trace->Timer_trace->isActive() && Trace->Chemin_fichier_a_tracer.isEmpty() &&
         Trace->Aff_nb_lignes_total->text() == "--" && Trace->Aff_longueur_tot->text() == "--" &&
         Trace->Aff_coord1->isHidden();
}

}  // namespace

TEST_F(ViewerTest, TheWindowHasItsCaptionSizeZoomListAndArrowPictures) {
  EXPECT_EQ(Trace->windowTitle(), QString::fromUtf8("Orvanta : Tracé GP"));
  EXPECT_EQ(Trace->size(), QSize(722, 698));
  EXPECT_EQ(Trace->Bt_zoom->count(), 20);
  EXPECT_EQ(Trace->Bt_zoom->itemText(1), "2,5 %");
  for (QPushButton* b : {Trace->Bt_haut, Trace->Bt_bas, Trace->Bt_droite, Trace->Bt_gauche}) {
    EXPECT_FALSE(b->icon().isNull());
  }
}

TEST_F(ViewerTest, OpeningTheViewerLoadsTheJournalAndShowsItsNewestRecord) {
  write_journal(track_text(3));
  Trace->FormShow();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(Trace->Liste_points.size(), 3u);
  EXPECT_EQ(Trace->Aff_chemain_fichier_a_tracer->text(), journal_path());
  EXPECT_EQ(Trace->Bt_avance->Max(), 2);
  EXPECT_EQ(Trace->Bt_avance->Position(), 2);
  EXPECT_EQ(Trace->Aff_nb_lignes_total->text(), "2");
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "2");
  EXPECT_EQ(Trace->Aff_date->text(), "23/03/2094   12:35:19");
  EXPECT_EQ(Trace->Aff_lignes->text(), QString::fromUtf8("45° 00' 3334\"N    006° 00' 3334\"E"));
  EXPECT_EQ(Trace->Aff_longueur_curs_fin->text(), "0 m");
  EXPECT_EQ(Trace->Aff_longueur_deb_curs->text(), Trace->Aff_longueur_tot->text());
  EXPECT_FALSE(Trace->Curseur->isHidden());
  EXPECT_TRUE(Trace->Bt_zoom->isEnabled());
  EXPECT_TRUE(Calcul->isHidden());
  // The scale bar follows the zoom restored from the settings: "80 %".
  EXPECT_EQ(Trace->Aff_echelle1->text(), "4.5 Km");
}

TEST_F(ViewerTest, AJournalThatDoesNotExistYetIsNamedInAnErrorAndLeavesNoTrack) {
  Trace->FormShow();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_EQ(messages[0].text, "Impossible d'ouvrir le fichier: " + journal_path() + ".");
  EXPECT_TRUE(no_track_state());
  EXPECT_TRUE(Calcul->isHidden());
  // The path box keeps the name that failed.
  EXPECT_EQ(Trace->Aff_chemain_fichier_a_tracer->text(), journal_path());
}

TEST_F(ViewerTest, AFaultyLineIsNamedByItsNumberAndLeavesNoHalfTrack) {
  write_journal("Journal\r\n" + track_text(8) + viewer_test::record({"48", "07", "0380", "n"}) + track_text(2));
  EXPECT_EQ(Trace->Charger_fichier(journal_path()), -2);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_EQ(messages[0].text, QString::fromUtf8("Le fichier GPS :  ") + journal_path() +
                                  QString::fromUtf8("\n\nComporte une erreur à la ligne 10."));
  EXPECT_TRUE(Trace->Liste_points.empty());
  EXPECT_FALSE(Trace->Bt_zoom->isEnabled());  // left disabled for the caller
  EXPECT_TRUE(Calcul->isHidden());

  messages.clear();
  Trace->FormShow();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(no_track_state());
}

TEST_F(ViewerTest, AJournalWithNothingUsableIsAWarning) {
  write_journal("\r\nJournal vide\r\n");
  EXPECT_EQ(Trace->Charger_fichier(journal_path()), -3);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Warning);
  EXPECT_EQ(messages[0].text, QString::fromUtf8("Le fichier GPS :  ") + journal_path() +
                                  "\n\nSemble vide ou totalement illisible par le programme !");
}

TEST_F(ViewerTest, WithoutAJournalPathTheViewerOpensWithNoTrackAndNoMessage) {
  Affichage->Chemin_fichier_log_1.clear();
  Trace->FormShow();
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(no_track_state());
  EXPECT_EQ(Trace->Plan.Facteur_zoom, 1.0f);
}

TEST_F(ViewerTest, TheChooserLoadsAnExistingFileWithTheCursorOnItsFirstRecord) {
  const std::string other = path("autre.log");
  std::ofstream(other, std::ios::binary) << track_text(4);
  Trace->Bt_repertoire->click();  // cancelled
  chosen = QString::fromStdString(path("absent.txt"));
  Trace->Bt_repertoire->click();
  EXPECT_EQ(dialogs, 2);
  EXPECT_TRUE(Trace->Liste_points.empty());
  EXPECT_TRUE(messages.empty());

  chosen = QString::fromStdString(other);
  Trace->Bt_repertoire->click();
  EXPECT_EQ(Trace->Chemin_fichier_a_tracer, *chosen);
  EXPECT_EQ(Trace->Bt_avance->Position(), 0);
  EXPECT_EQ(Trace->Bt_avance->Max(), 3);
  EXPECT_EQ(Trace->Aff_nb_lignes_total->text(), "3");
  EXPECT_EQ(Trace->Aff_longueur_deb_curs->text(), "0 m");
  EXPECT_EQ(Trace->Plan.Centre_lat, 27'000'000);
  EXPECT_EQ(Trace->Plan.Centre_lon, 3'600'000);
}

TEST_F(ViewerTest, NothingStartsASecondLoadWhileOneIsRunning) {
  // A message box runs its own event loop in the middle of a load: ticks and
  // clicks arriving then must not touch the list being filled.
  write_journal(track_text(3) + viewer_test::record({"91"}));
  Trace->Bt_maj->setValue(5);
  Compteur_maj = 4;
  chosen = journal_path();
  bool inside = false;
  on_message = [&] {
    inside = Trace->Chargement_en_cours();
    Trace->Timer_traceTimer();
    Trace->Bt_repertoireClick();
    Trace->FormShow();
    Trace->Trace_preciTimer();
  };
  EXPECT_EQ(Trace->Charger_fichier(journal_path()), -2);
  EXPECT_TRUE(inside);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Compteur_maj, 4);
  EXPECT_EQ(dialogs, 0);
  EXPECT_FALSE(Trace->Chargement_en_cours());
}

TEST_F(ViewerTest, AFileThatIsNoTrackLeavesTheTrackShownUsableAndItsMessageInSight) {
  write_journal(track_text(4));
  Trace->FormShow();
  Trace->Bt_centrer_debutClick();
  const std::string other = path("drive.gpx");
  std::ofstream(other, std::ios::binary) << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n</gpx>\n";
  chosen = QString::fromStdString(other);
  bool progress_shown = false;
  on_message = [&] { progress_shown = Calcul->isVisible(); };
  Trace->Bt_repertoire->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_FALSE(progress_shown);
  EXPECT_EQ(Trace->Chemin_fichier_a_tracer, journal_path());
  EXPECT_EQ(Trace->Aff_chemain_fichier_a_tracer->text(), journal_path());
  EXPECT_EQ(Trace->Liste_points.size(), 4u);
  EXPECT_EQ(Trace->Aff_nb_lignes_total->text(), "3");
  EXPECT_EQ(Trace->Aff_nb_ligne_courante->text(), "0");
  EXPECT_EQ(Trace->Plan.Centre_lat, 27'000'000);
  for (QWidget* w : {static_cast<QWidget*>(Trace->Bt_zoom), static_cast<QWidget*>(Trace->Bt_avance),
                     static_cast<QWidget*>(Trace->Bt_centrer), static_cast<QWidget*>(Trace->Bt_exporter)}) {
    EXPECT_TRUE(w->isEnabled());
  }
  EXPECT_TRUE(Trace->Bt_maj_on->isEnabled());
}
