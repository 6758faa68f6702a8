#include "shell/ini_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using shell::IniFile;

TEST(IniFile, NamesIgnoreAsciiCaseOnlyAndValuesLoseBlanksAndOneQuotePair) {
  const IniFile ini = IniFile::parse(
      "  [ fenetre ]  \n"
      "EMPLACEMENT ver.  =  42  \r\n"
      "[Tracer]\n"
      "MISE \xE0 JOUR=9\n"
      "[Q]\n"
      "a=\"quoted\"\n"
      "b= 'single' \n"
      "c=\"mixed'\n"
      "d=\"\n"
      "e=   \n");
  EXPECT_EQ(ini.read_integer("Fenetre", "Emplacement Ver.", 0), 42);
  EXPECT_EQ(ini.read_integer("Tracer", "Mise \xE0 jour", 0), 9);
  // Accented capitals of the code page match their small letters too.
  EXPECT_EQ(ini.read_integer("Tracer", "MISE \xC0 JOUR", 5), 9);
  EXPECT_EQ(ini.read_integer("Tracer", "Mise \xE1 jour", 5), 5);
  EXPECT_EQ(ini.read_string("Q", "A", "-"), "quoted");
  EXPECT_EQ(ini.read_string("Q", "b", "-"), "single");
  EXPECT_EQ(ini.read_string("Q", "c", "-"), "\"mixed'");
  EXPECT_EQ(ini.read_string("Q", "d", "-"), "\"");
  EXPECT_EQ(ini.read_string("Q", "e", "-"), "");
  EXPECT_EQ(ini.read_string("Q", "f", "-"), "-");
  EXPECT_EQ(ini.read_string("Other", "a", "-"), "-");
}

TEST(IniFile, IntegersMustBeWholeNumbersOrTheDefaultApplies) {
  const std::pair<const char*, int32_t> cases[] = {
      {"0x3C", 60},
      {"0X3c", 60},
      {"$3C", 60},
      {"-$10", -16},
      {"-12", -12},
      {"+7", 7},
      {" 300 ", 300},
      {"\"300\"", 300},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"abc", -1},
      {"", -1},
      {"12abc", -1},
      {"1 2", -1},
      {"0x", -1},
      {"$", -1},
      {"-", -1},
      {"0xG1", -1},
      {"2147483648", -1},
      {"0x80000000", -1},
      {"3.5", -1},
  };
  for (const auto& [value, expected] : cases) {
    const IniFile ini = IniFile::parse(std::string("[s]\nk=") + value + "\n");
    EXPECT_EQ(ini.read_integer("s", "k", -1), expected) << value;
  }
  const IniFile ini = IniFile::parse("[s]\ntwo=2\nzero=0\nbad=yes\n");
  EXPECT_TRUE(ini.read_bool("s", "two", false));
  EXPECT_FALSE(ini.read_bool("s", "zero", true));
  EXPECT_TRUE(ini.read_bool("s", "bad", true));
  EXPECT_FALSE(ini.read_bool("s", "bad", false));
}

TEST(IniFile, LongTextIsCut) {
  const IniFile ini = IniFile::parse("[s]\nk=" + std::string(3000, 'a') + "\n");
  EXPECT_EQ(ini.read_string("s", "k", ""), std::string(IniFile::kMaxText, 'a'));
}

TEST(IniFile, WritingKeepsEveryOtherLineAndPlacesNewKeysAndSections) {
  IniFile ini = IniFile::parse(
      "; written by hand\n"
      "[Fenetre]\n"
      "emplacement ver.  = 5\n"
      "Other=keep\n"
      "\n"
      "[Empty]\n"
      "[Hand]\n"
      "x = 1\n"
      "a line of its own");
  ini.write_integer("FENETRE", "Emplacement Ver.", 100);
  ini.write_integer("Fenetre", "Emplacement Hor.", -7);
  ini.write_bool("Empty", "flag", true);
  ini.write_string("Tracer", "Zoom", "7");
  ini.write_string("Tracer", "Mise \xE0 jour", "5");
  EXPECT_EQ(ini.text(),
            "; written by hand\r\n"
            "[Fenetre]\r\n"
            "emplacement ver.=100\r\n"
            "Other=keep\r\n"
            "Emplacement Hor.=-7\r\n"
            "\r\n"
            "[Empty]\r\n"
            "flag=1\r\n"
            "[Hand]\r\n"
            "x = 1\r\n"
            "a line of its own\r\n"
            "[Tracer]\r\n"
            "Zoom=7\r\n"
            "Mise \xE0 jour=5\r\n");
}

TEST(IniFile, WrittenTextReadsBackUnchanged) {
  IniFile ini;
  for (const char* value : {" lead", "trail ", "'quoted'", "\"x\"", "", "c:\\a b\\log.txt"}) {
    ini.write_string("s", "k", value);
    EXPECT_EQ(IniFile::parse(ini.text()).read_string("s", "k", "-"), value);
  }
  // A line break would start a line of its own: another key, another section.
  EXPECT_THROW(ini.write_string("s", "k", "a\n[RS232]"), std::invalid_argument);
}

TEST(IniFile, AFolderCannotBeReadAsAFile) {
  QTemporaryDir dir;
  EXPECT_EQ(IniFile::read(dir.path().toStdString(), 1 << 20).status, common::WholeFileRead::Status::kNotRegularFile);
}

// An editor's byte-order mark would glue itself to the first section's name.
TEST(IniFile, AByteOrderMarkIsSkipped) {
  const IniFile ini = IniFile::parse("\xEF\xBB\xBF[Fichiers]\r\nFichier log 1=/data/j.txt\r\n");
  EXPECT_EQ(ini.read_string("Fichiers", "Fichier log 1", ""), "/data/j.txt");
  EXPECT_EQ(ini.text(), "[Fichiers]\r\nFichier log 1=/data/j.txt\r\n");
}
