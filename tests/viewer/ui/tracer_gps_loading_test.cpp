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

bool no_track_state(const TTrace& trace) {
  return !trace.Bt_zoom->isEnabled() && !trace.Bt_centrer->isEnabled() && !trace.Bt_exporter->isEnabled() &&
         !trace.Bt_avance->isEnabled() && !trace.Bt_haut->isEnabled() && !trace.Bt_maj_on->isEnabled() &&
         !trace.Timer_trace->isActive() && trace.Chemin_fichier_a_tracer.isEmpty() &&
         trace.Aff_nb_lignes_total->text() == "--" && trace.Aff_longueur_tot->text() == "--" &&
         trace.Aff_coord1->isHidden();
}

}  // namespace

TEST_F(ViewerTest, TheWindowHasItsCaptionSizeZoomListAndArrowPictures) {
  EXPECT_EQ(trace.windowTitle(), QString::fromUtf8("Orvanta : Tracé GP"));
  EXPECT_EQ(trace.size(), QSize(722, 698));
  EXPECT_EQ(trace.Bt_zoom->count(), 20);
  EXPECT_EQ(trace.Bt_zoom->itemText(1), "2,5 %");
  for (QPushButton* b : {trace.Bt_haut, trace.Bt_bas, trace.Bt_droite, trace.Bt_gauche}) {
    EXPECT_FALSE(b->icon().isNull());
  }
}

TEST_F(ViewerTest, OpeningTheViewerLoadsTheJournalAndShowsItsNewestRecord) {
  write_journal(track_text(3));
  trace.FormShow();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(trace.Liste_points.size(), 3u);
  EXPECT_EQ(trace.Aff_chemain_fichier_a_tracer->text(), journal_path());
  EXPECT_EQ(trace.Bt_avance->Max(), 2);
  EXPECT_EQ(trace.Bt_avance->Position(), 2);
  EXPECT_EQ(trace.Aff_nb_lignes_total->text(), "2");
  EXPECT_EQ(trace.Aff_nb_ligne_courante->text(), "2");
  EXPECT_EQ(trace.Aff_date->text(), "23/03/2094   12:35:19");
  EXPECT_EQ(trace.Aff_lignes->text(), QString::fromUtf8("45° 00' 3334\"N    006° 00' 3334\"E"));
  EXPECT_EQ(trace.Aff_longueur_curs_fin->text(), "0 m");
  EXPECT_EQ(trace.Aff_longueur_deb_curs->text(), trace.Aff_longueur_tot->text());
  EXPECT_FALSE(trace.Curseur->isHidden());
  EXPECT_TRUE(trace.Bt_zoom->isEnabled());
  EXPECT_TRUE(calcul.isHidden());
  // The scale bar follows the zoom restored from the settings: "80 %".
  EXPECT_EQ(trace.Aff_echelle1->text(), "4.5 Km");
}

TEST_F(ViewerTest, AJournalThatDoesNotExistYetIsNamedInAnErrorAndLeavesNoTrack) {
  trace.FormShow();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_EQ(messages[0].text, "Impossible d'ouvrir le fichier: " + journal_path() + ".");
  EXPECT_TRUE(no_track_state(trace));
  EXPECT_TRUE(calcul.isHidden());
  // The path box keeps the name that failed.
  EXPECT_EQ(trace.Aff_chemain_fichier_a_tracer->text(), journal_path());
}

TEST_F(ViewerTest, AFaultyLineIsNamedByItsNumberAndKeepsThePointsBeforeIt) {
  write_journal("Journal\r\n" + track_text(8) + viewer_test::record({"48", "07", "0380", "n"}) + track_text(2));
  EXPECT_EQ(trace.Charger_fichier(journal_path()), -2);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Critical);
  EXPECT_EQ(messages[0].text, QString::fromUtf8("Le fichier GPS :  ") + journal_path() +
                                  QString::fromUtf8("\n\nComporte une erreur à la ligne 10."));
  EXPECT_EQ(trace.Liste_points.size(), 8u);
  EXPECT_FALSE(trace.Bt_zoom->isEnabled());  // left disabled for the caller
  EXPECT_TRUE(calcul.isHidden());

  messages.clear();
  trace.FormShow();
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_TRUE(no_track_state(trace));
}

TEST_F(ViewerTest, AJournalWithNothingUsableIsAWarning) {
  write_journal("\r\nJournal vide\r\n");
  EXPECT_EQ(trace.Charger_fichier(journal_path()), -3);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].icon, QMessageBox::Warning);
  EXPECT_EQ(messages[0].text, QString::fromUtf8("Le fichier GPS :  ") + journal_path() +
                                  "\n\nSemble vide ou totalement illisible par le programme !");
}

TEST_F(ViewerTest, WithoutAJournalPathTheViewerOpensWithNoTrackAndNoMessage) {
  settings.log_path_1.clear();
  trace.FormShow();
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(no_track_state(trace));
  EXPECT_EQ(trace.Plan.Facteur_zoom, 1.0f);
}

TEST_F(ViewerTest, TheChooserLoadsAnExistingFileWithTheCursorOnItsFirstRecord) {
  const std::string other = path("autre.log");
  std::ofstream(other, std::ios::binary) << track_text(4);
  trace.Bt_repertoire->click();  // cancelled
  chosen = QString::fromStdString(path("absent.txt"));
  trace.Bt_repertoire->click();
  EXPECT_EQ(dialogs, 2);
  EXPECT_TRUE(trace.Liste_points.empty());
  EXPECT_TRUE(messages.empty());

  chosen = QString::fromStdString(other);
  trace.Bt_repertoire->click();
  EXPECT_EQ(trace.Chemin_fichier_a_tracer, *chosen);
  EXPECT_EQ(trace.Bt_avance->Position(), 0);
  EXPECT_EQ(trace.Bt_avance->Max(), 3);
  EXPECT_EQ(trace.Aff_nb_lignes_total->text(), "3");
  EXPECT_EQ(trace.Aff_longueur_deb_curs->text(), "0 m");
  EXPECT_EQ(trace.Plan.Centre_lat, 27'000'000);
  EXPECT_EQ(trace.Plan.Centre_lon, 3'600'000);
}

TEST_F(ViewerTest, NothingStartsASecondLoadWhileOneIsRunning) {
  // A message box runs its own event loop in the middle of a load: ticks and
  // clicks arriving then must not touch the list being filled.
  write_journal(track_text(3) + viewer_test::record({"91"}));
  trace.Bt_maj->setValue(5);
  Compteur_maj = 4;
  chosen = journal_path();
  bool inside = false;
  on_message = [&] {
    inside = trace.Chargement_en_cours();
    trace.Timer_traceTimer();
    trace.Bt_repertoireClick();
    trace.FormShow();
    trace.Trace_preciTimer();
  };
  EXPECT_EQ(trace.Charger_fichier(journal_path()), -2);
  EXPECT_TRUE(inside);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(Compteur_maj, 4);
  EXPECT_EQ(dialogs, 0);
  EXPECT_FALSE(trace.Chargement_en_cours());
}
