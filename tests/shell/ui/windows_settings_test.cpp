// The settings file read into the program's settings at the first show and
// written from them at the close.
#include "acquisition/ui/affichage.h"
#include "common/whole_file.h"
#include "shell/ui/config_dialog.h"
#include "viewer/ui/tracer_gps.h"
#include "windows_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <sys/stat.h>

namespace {

void put(const std::string& path, const std::string& bytes) { ASSERT_TRUE(common::replace_whole_file(path, bytes)); }
std::string get(const std::string& path) { return common::read_whole_file(path, 1 << 22).bytes; }

}  // namespace

TEST_F(WindowsTest, FirstRunStartsWithTheDefaultsAndWritesEveryKeyInOrder) {
  Affichage->FormShow();
  EXPECT_EQ(Affichage->pos(), QPoint(100, 100));
  EXPECT_EQ(windows->settings().log_path_1, QDir::home().filePath("orvanta.txt").toStdString());
  EXPECT_EQ(windows->settings().interval, 300);
  EXPECT_EQ(windows->acquisition().countdown(), 0);
  EXPECT_EQ(Config->Aff_delais->text(), "0 h 5 min 0 sec");
  for (QCheckBox* box :
       {Config->Bt_enregistrer, Config->Bt_mise_a_l_heure, Config->Bt_connection_auto, Config->Bt_err_batterie,
        Config->Bt_err_signal_gps, Config->Bt_err_fichier, Config->Bt_err_rs232}) {
    EXPECT_TRUE(box->isChecked());
  }
  EXPECT_EQ(Config->Aff_select_port->currentText(), "COM10");
  EXPECT_EQ(Config->Aff_select_bauds->currentText(), "4800");
  EXPECT_EQ(windows->acquisition().port().Port(), "COM10");
  EXPECT_EQ(windows->acquisition().port().BaudRate(), serial::br4800);
  EXPECT_EQ(Trace->Bt_zoom->currentText(), "80 %");

  Affichage->FormClose();
  const std::string home = QDir::homePath().toStdString();
  EXPECT_EQ(get(ini_path),
            "[Fenetre]\r\nEmplacement Ver.=100\r\nEmplacement Hor.=100\r\n"
            "[Fichiers]\r\nFichier log 1=" +
                home +
                "/orvanta.txt\r\n"
                "Fichier log 2=" +
                home +
                "/velmora_orvanta.txt\r\n"
                "[Actions]\r\nIntervalle=300\r\nHeure auto=1\r\nEnregistrer dans fichier log=1\r\n"
                "[Alarmes sonores]\r\nBatterie faible=1\r\nPerte signal GPS=1\r\nErreur fichier=1\r\n"
                "Erreur port COM=1\r\n"
                "[RS232]\r\nConnection auto=1\r\nCOMM=0\r\nVitesse=6\r\nPort=COM10\r\n"
                "[Tracer]\r\nZoom=7\r\nMise \xE0 jour=5\r\nMise \xE0 jour actif=0\r\n");
}

TEST_F(WindowsTest, OddValuesAreReadSafelyAndWrittenBackInPlace) {
  put(ini_path,
      "[ACTIONS]\r\nintervalle=1\r\n"
      "[RS232]\r\nConnection auto=2\r\nCOMM=99\r\nVitesse=7\r\n"
      "[fichiers]\r\nFICHIER LOG 1=\r\n"
      "[Tracer]\r\nZoom=99\r\nMise \xE0 jour=1000\r\nMise \xE0 jour actif=1\r\n"
      "[Hand]\r\n; mine\r\nmine=yes\r\n");
  windows->load_settings();
  EXPECT_EQ(Config->Cmd_delais->value(), 3);
  EXPECT_EQ(Config->Aff_select_port->currentIndex(), -1);
  EXPECT_EQ(windows->acquisition().port().Port(), "COM1");  // as it was
  EXPECT_EQ(windows->acquisition().port().BaudRate(), serial::br9600);
  EXPECT_TRUE(windows->settings().log_path_1.empty());
  EXPECT_EQ(windows->settings().log_path_2, QDir::home().filePath("velmora_orvanta.txt").toStdString());
  EXPECT_EQ(Trace->Bt_zoom->currentIndex(), -1);
  EXPECT_EQ(Trace->Bt_maj->value(), 600);
  EXPECT_TRUE(Trace->Bt_maj_on->isChecked());
  EXPECT_EQ(line.OpenCount(), 0);

  windows->save_settings();
  const std::string text = get(ini_path);
  EXPECT_TRUE(text.starts_with("[ACTIONS]\r\nintervalle=3\r\nHeure auto=1\r\n")) << text;
  EXPECT_NE(text.find("[RS232]\r\nConnection auto=1\r\nCOMM=-1\r\nVitesse=7\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[fichiers]\r\nFICHIER LOG 1=\r\nFichier log 2="), std::string::npos) << text;
  EXPECT_NE(text.find("[Tracer]\r\nZoom=-1\r\nMise \xE0 jour=600\r\nMise \xE0 jour actif=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("[Hand]\r\n; mine\r\nmine=yes\r\n"), std::string::npos) << text;
}

TEST_F(WindowsTest, OptInKeysComeFromTheFileAndStayInIt) {
  windows->load_settings();
  windows->save_settings();
  EXPECT_EQ(get(ini_path).find("etendu"), std::string::npos) << "a box never ticked leaves no key";
  EXPECT_FALSE(Config->Bt_rmc_etendu->isChecked() || windows->settings().precise_time ||
               !windows->settings().chrony_socket.empty());
  put(ini_path, "[RS232]\r\nRMC etendu=1\r\n[Actions]\r\nHeure precise=1\r\nChrony=/run/chrony \xE9.sock\r\n");
  windows->load_settings();
  EXPECT_TRUE(Config->Bt_rmc_etendu->isChecked() && windows->settings().precise_time);
  EXPECT_EQ(windows->settings().chrony_socket, "/run/chrony \xE9.sock");
  windows->save_settings();
  EXPECT_TRUE(get(ini_path).starts_with("[RS232]\r\nRMC etendu=1\r\nConnection auto=1\r\n")) << get(ini_path);
  EXPECT_NE(get(ini_path).find("[Actions]\r\nHeure precise=1\r\nChrony=/run/chrony \xE9.sock\r\nIntervalle="),
            std::string::npos);
}

// A start must not hang on a FIFO (nor read a device, see read_whole_file),
// and what is not a regular file is never written into.
TEST_F(WindowsTest, ASettingsFileThatIsNoRegularFileGivesTheDefaultsAndIsLeftAlone) {
  ASSERT_EQ(::mkfifo(ini_path.c_str(), 0600), 0);
  try {
    Affichage->FormShow();
    ADD_FAILURE() << "not told";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Le fichier de paramètres " + ini_path +
                                         " n'est pas un fichier ordinaire : Orvanta démarre avec les réglages par "
                                         "défaut et ne le modifiera pas");
  }
  EXPECT_EQ(Affichage->Bt_acquiter->text(), "Alarme active") << "the first show went to its end";
  EXPECT_NO_THROW(Affichage->FormClose());
}

TEST_F(WindowsTest, SelectorsLeftWithoutSelectionLeaveThePortAsItWas) {
  put(ini_path, "[RS232]\r\nCOMM=-1\r\nVitesse=16\r\n");
  windows->load_settings();
  EXPECT_EQ(Config->Aff_select_bauds->currentIndex(), -1);
  EXPECT_EQ(windows->acquisition().port().Port(), "COM1");
  EXPECT_EQ(windows->acquisition().port().BaudRate(), serial::br4800);
  windows->save_settings();
  EXPECT_NE(get(ini_path).find("COMM=-1\r\nVitesse=-1\r\n"), std::string::npos) << get(ini_path);
}

TEST_F(WindowsTest, AFileThatCannotBeWrittenStopsTheCloseWithItsPath) {
  // Its folder cannot be made: a file stands where it would be.
  put(path("folder"), "");
  platform.settings_path = path("folder") + "/orvanta.INI";
  windows->load_settings();
  try {
    Affichage->FormClose();
    FAIL() << "saved under a file";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'écrire dans " + platform.settings_path);
  }
}

// Refused when picked: at the close it would keep the settings from being saved.
TEST_F(WindowsTest, APathWithoutWindows1252SpellingIsRefusedNotMangled) {
  put(ini_path, "[Fichiers]\r\nFichier log 1=/data/log.txt\r\n");
  windows->load_settings();
  const QString cyrillic = dir.filePath(QString::fromUtf8("журнал.txt"));
  put(cyrillic.toStdString(), "");
  Config->Ouvrir = [&](const QString&) { return std::optional<QString>(cyrillic); };
  EXPECT_THROW(Config->Bt_repertoireClick(), std::runtime_error);
  EXPECT_EQ(windows->settings().log_path_1, "/data/log.txt");
  windows->save_settings();
  EXPECT_TRUE(get(ini_path).starts_with("[Fichiers]\r\nFichier log 1=/data/log.txt\r\n")) << get(ini_path);
}

TEST_F(WindowsTest, TheViewerSizeComesBackFromTheFileAndStaysInIt) {
  put(ini_path, "[Tracer]\r\nLargeur=900\r\nHauteur=800\r\nAgrandie=0\r\n");
  windows->load_settings();
  EXPECT_EQ(Trace->size(), QSize(900, 800));
  windows->save_settings();
  EXPECT_NE(get(ini_path).find("Largeur=900\r\nHauteur=800\r\nAgrandie=0\r\n"), std::string::npos) << get(ini_path);
}
