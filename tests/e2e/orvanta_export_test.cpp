// The export command as a user runs it: its command line, its failures (which
// never leave a partial file under the name asked for) and its output read
// back by other tools.
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kTool = std::string(ORVANTA_TOOLS_DIR) + "/orvanta-export";

std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `program` with `args`, standard output and error caught apart.
Result run(const std::string& program, const std::vector<std::string>& args) {
  QTemporaryDir dir;
  const std::string out = dir.filePath("out").toStdString(), err = dir.filePath("err").toStdString();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr)) _exit(126);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out), read_file(err)};
}

bool on_path(const std::string& name) {
  std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  for (std::string dir; std::getline(path, dir, ':');) {
    if (access(dir.append("/").append(name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

// A journal record as the logger writes it.
std::string record(int day, int hour, int lat_deg, int lat_min, int lat_frac, char ns, int lon_deg, int lon_min,
                   int lon_frac, char ew, int speed) {
  char line[128];
  std::snprintf(line, sizeof line,
                "%02d/01/2000\t%02d:00:00\t%02d\xB0 %02d' %04d\" %c\t%03d\xB0 %02d' %04d\" %c\t%03d noeuds\r\n", day,
                hour, lat_deg, lat_min, lat_frac, ns, lon_deg, lon_min, lon_frac, ew, speed);
  return line;
}

// Round the world, all four quarters, "O" and "W" both, through midnight.
std::string world_journal() {
  std::string journal;
  const char* ew = "EWO";
  for (int i = 0; i < 60; ++i) {
    journal += record(1 + i / 24, i % 24, i * 37 % 90, i * 7 % 60, i * 1237 % 10000, i % 2 ? 'S' : 'N', i * 53 % 180,
                      i * 11 % 60, i * 4099 % 10000, ew[i % 3], i);
  }
  return journal;
}

struct Point {
  double lat, lon;
  std::string time;  // "2000-01-01T00:00:00Z"; empty when none
};

std::vector<Point> points_of_our_csv(const std::string& csv) {
  std::vector<Point> points;
  std::stringstream in(csv);
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::stringstream fields(line);
    std::string time, lat, lon;
    std::getline(fields, time, ',');
    std::getline(fields, lat, ',');
    std::getline(fields, lon, ',');
    points.push_back({std::stod(lat), std::stod(lon), time});
  }
  return points;
}

// gpsbabel ends its lines with CR LF.
std::vector<std::string> split(std::string line) {
  if (line.ends_with('\r')) line.pop_back();
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
  return fields;
}

// gpsbabel's unicsv: a header naming the columns, dates as "2000/01/01".
std::vector<Point> points_of_unicsv(const std::string& csv) {
  std::vector<Point> points;
  std::stringstream in(csv);
  std::string line;
  std::getline(in, line);
  const std::vector<std::string> header = split(line);
  auto column = [&](const char* name) { return std::find(header.begin(), header.end(), name) - header.begin(); };
  const size_t lat = column("Latitude"), lon = column("Longitude"), date = column("Date"), time = column("Time");
  while (std::getline(in, line)) {
    std::vector<std::string> f = split(line);
    f.resize(header.size());
    std::string when;
    if (date < header.size()) {
      std::replace(f[date].begin(), f[date].end(), '/', '-');
      when = f[date] + "T" + f[time] + "Z";
    }
    points.push_back({std::stod(f[lat]), std::stod(f[lon]), when});
  }
  return points;
}

// gpsbabel writes six decimals.
void expect_same_points(const std::vector<Point>& ours, const std::vector<Point>& theirs, bool with_times) {
  ASSERT_EQ(ours.size(), theirs.size());
  for (size_t i = 0; i < ours.size(); ++i) {
    EXPECT_NEAR(ours[i].lat, theirs[i].lat, 5.1e-7) << i;
    EXPECT_NEAR(ours[i].lon, theirs[i].lon, 5.1e-7) << i;
    if (with_times) {
      EXPECT_EQ(ours[i].time, theirs[i].time) << i;
    }
  }
}

class ExportCommand : public testing::Test {
 protected:
  fs::path at(const std::string& name) const { return fs::path(dir_.path().toStdString()) / name; }
  QStringList entries() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

 private:
  QTemporaryDir dir_;
};

}  // namespace

TEST_F(ExportCommand, AnswersItsCommandLineAsGnuProgramsDo) {
  for (const char* help : {"--help", "-h"}) {
    const Result r = run(kTool, {help});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(
        r.out.starts_with("Utilisation : orvanta-export [--format gpx|kml|csv] [--skip-faulty] [-o FICHIER] JOURNAL\n"))
        << r.out;
    EXPECT_EQ(r.err, "");
  }
  const Result version = run(kTool, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(version.out.starts_with("orvanta-export (Orvanta) ")) << version.out;

  const std::vector<std::vector<std::string>> wrong = {
      {"--bogus", "j.txt"}, {"--format", "xml", "j.txt"}, {}, {"a.txt", "b.txt"}, {"-o"}, {"-o", "", "j.txt"}};
  for (const auto& args : wrong) {
    const Result r = run(kTool, args);
    EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Utilisation : orvanta-export"), std::string::npos) << r.err;
  }
  // In French, as every message of the program, getopt's included.
  EXPECT_TRUE(run(kTool, {"--bogus"}).err.starts_with("orvanta-export: option inconnue « --bogus »\n"));
}

TEST_F(ExportCommand, AFailedConversionSaysWhyAndLeavesNoPartialFile) {
  const std::string missing = at("missing.txt");
  Result r = run(kTool, {missing});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "orvanta-export: Impossible d'ouvrir le fichier: " + missing + " (fichier ou dossier introuvable).\n");

  // Line 62 is faulty (the writer never writes 60 minutes): the previous
  // track stays whole under its name and nothing else is left beside it.
  const std::string journal = at("journal.txt");
  write_file(journal, world_journal() + "\r\n" + record(3, 0, 45, 60, 0, 'N', 6, 0, 0, 'E', 1));
  write_file(at("track.gpx"), "previous");
  r = run(kTool, {"-o", at("track.gpx"), journal});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orvanta-export: Le fichier GPS :  " + journal + "\n\nComporte une erreur à la ligne 62.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(read_file(at("track.gpx")), "previous");
  EXPECT_EQ(entries(), (QStringList{"journal.txt", "track.gpx"}));

  write_file(at("empty.txt"), "\r\n\r\n");
  r = run(kTool, {"--format=csv", "--output", at("track.csv"), at("empty.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Semble vide ou totalement illisible"), std::string::npos) << r.err;
  EXPECT_FALSE(fs::exists(at("track.csv")));

  write_file(journal, world_journal());
  r = run(kTool, {"-o", at("no/such/folder.gpx"), journal});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "orvanta-export: Impossible d'écrire dans " + at("no/such/folder.gpx").string() +
                       " (fichier ou dossier introuvable).\n");
}

// Written into, the journal would be lost or would grow as it is read: every
// way of naming it as the output is refused before anything is written.
TEST_F(ExportCommand, RefusesAnOutputThatIsTheJournalItself) {
  const std::string journal = at("journal.txt");
  write_file(journal, world_journal());
  fs::create_symlink(journal, at("link.txt"));
  const std::string in_folder = "cd " + at("").string() + " && " + kTool + " ";
  for (const char* way :
       {"-o journal.txt journal.txt", "-o link.txt journal.txt", "journal.txt >> journal.txt",
        "-o - link.txt >> journal.txt", "-o journal.txt - < journal.txt", "- < journal.txt >> journal.txt"}) {
    const Result r = run("/bin/sh", {"-c", in_folder + way});
    EXPECT_EQ(r.status, 2) << way;
    EXPECT_NE(r.err.find(" est le journal à convertir : choisissez une autre sortie\n"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(journal), world_journal());
  }
  EXPECT_EQ(entries(), (QStringList{"journal.txt", "link.txt"}));
}

// A fragment (a copy cut short) stops the export as it stops the viewer;
// --skip-faulty names it and exports every record around it.
TEST_F(ExportCommand, SkipFaultyExportsEveryReadableRecordAndNamesTheOthers) {
  const std::string journal = at("journal.txt");
  const std::string first = record(1, 0, 45, 0, 0, 'N', 6, 0, 0, 'E', 1);
  const std::string last = record(1, 1, 45, 1, 0, 'N', 6, 1, 0, 'E', 2);
  write_file(journal, first + first.substr(0, 30) + first + last);

  EXPECT_EQ(run(kTool, {"-f", "csv", journal}).status, 1);
  const Result r = run("/bin/sh", {"-c", kTool + " --skip-faulty -f csv -o - - < " + journal});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "orvanta-export: ligne 2 ignorée : la fraction de minute de latitude n'est pas un nombre de 0 à 9999 "
            "suivi de \"\n"
            "orvanta-export: 1 ligne(s) fautive(s) ignorée(s)\n");
  EXPECT_EQ(r.out,
            "time,lat,lon,speed_knots\n2000-01-01T00:00:00Z,45.0000000,6.0000000,1\n"
            "2000-01-01T01:00:00Z,45.0166667,6.0166667,2\n");

  // A journal of garbage names its first 100 faulty lines, then counts.
  std::string garbage = first;
  for (int i = 0; i < 1000; ++i) garbage += first.substr(0, 30) + first;
  write_file(journal, garbage);
  const Result flood = run(kTool, {"--skip-faulty", "-f", "csv", journal});
  EXPECT_EQ(flood.status, 0);
  EXPECT_EQ(std::count(flood.err.begin(), flood.err.end(), '\n'), 102);
  EXPECT_TRUE(flood.err.ends_with("orvanta-export: 1000 ligne(s) fautive(s) ignorée(s)\n")) << flood.err;
}

// An export that a signal ends leaves nothing beside the file it was to
// replace.
TEST_F(ExportCommand, ASignalThatEndsTheExportLeavesNoNewFile) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(strsignal(signal));
    int journal[2];
    ASSERT_EQ(pipe(journal), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      dup2(journal[0], STDIN_FILENO);
      close(journal[1]);
      execl(kTool.c_str(), kTool.c_str(), "-o", at("track.gpx").c_str(), "-", nullptr);
      _exit(127);
    }
    close(journal[0]);
    const std::string first = record(1, 0, 45, 0, 0, 'N', 6, 0, 0, 'E', 1);
    EXPECT_EQ(write(journal[1], first.data(), first.size()), static_cast<ssize_t>(first.size()));
    // The export makes its new file before it reads the journal, which never ends here.
    for (int i = 0; i < 500 && entries().isEmpty(); ++i) usleep(10'000);
    EXPECT_EQ(entries().size(), 1);
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    close(journal[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(entries(), QStringList{});
  }
}

TEST_F(ExportCommand, WritesThroughLinksAndIntoDevicesWithoutReplacingThem) {
  const std::string journal = at("journal.txt");
  write_file(journal, world_journal());
  write_file(at("real.csv"), "old");
  ::chmod(at("real.csv").c_str(), 0640);
  fs::create_symlink(at("real.csv"), at("link.csv"));
  ASSERT_EQ(run(kTool, {"-f", "csv", "-o", at("link.csv"), journal}).status, 0);
  EXPECT_TRUE(fs::is_symlink(at("link.csv")));
  EXPECT_TRUE(read_file(at("real.csv")).starts_with("time,lat,lon,speed_knots\n"));
  EXPECT_EQ(fs::status(at("real.csv")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  ASSERT_EQ(run(kTool, {"-o", "/dev/null", journal}).status, 0);
  struct stat null {};
  ASSERT_EQ(::stat("/dev/null", &null), 0);
  EXPECT_TRUE(S_ISCHR(null.st_mode));
}

TEST_F(ExportCommand, GpxIsWellFormedAndReadsBackInGpsbabelPointForPoint) {
  if (!on_path("xmllint") || !on_path("gpsbabel")) GTEST_SKIP() << "needs xmllint and gpsbabel";
  const std::string journal = at("journal.txt");
  write_file(journal, world_journal());
  ASSERT_EQ(run(kTool, {"-o", at("track.gpx"), journal}).status, 0);
  const Result csv = run(kTool, {"--format", "csv", journal});
  ASSERT_EQ(csv.status, 0);
  const std::vector<Point> ours = points_of_our_csv(csv.out);
  ASSERT_EQ(ours.size(), 60u);

  const Result lint = run("xmllint", {"--noout", at("track.gpx")});
  EXPECT_EQ(lint.status, 0) << lint.err;
  const Result babel = run("gpsbabel", {"-t", "-i", "gpx", "-f", at("track.gpx"), "-o", "unicsv", "-F", "-"});
  ASSERT_EQ(babel.status, 0) << babel.err;
  expect_same_points(ours, points_of_unicsv(babel.out), true);
}

TEST_F(ExportCommand, KmlReadsBackInGpsbabelPointForPoint) {
  if (!on_path("xmllint") || !on_path("gpsbabel")) GTEST_SKIP() << "needs xmllint and gpsbabel";
  const std::string journal = at("journal.txt");
  write_file(journal, world_journal());
  ASSERT_EQ(run(kTool, {"--format", "kml", "-o", at("track.kml"), journal}).status, 0);
  const std::vector<Point> ours = points_of_our_csv(run(kTool, {"--format", "csv", journal}).out);

  const Result lint = run("xmllint", {"--noout", at("track.kml")});
  EXPECT_EQ(lint.status, 0) << lint.err;
  // The line holds every point; the two named points are its ends, with their times.
  const Result line = run("gpsbabel", {"-t", "-i", "kml", "-f", at("track.kml"), "-o", "unicsv", "-F", "-"});
  ASSERT_EQ(line.status, 0) << line.err;
  expect_same_points(ours, points_of_unicsv(line.out), false);
  const Result ends = run("gpsbabel", {"-w", "-i", "kml", "-f", at("track.kml"), "-o", "unicsv", "-F", "-"});
  ASSERT_EQ(ends.status, 0) << ends.err;
  expect_same_points({ours.front(), ours.back()}, points_of_unicsv(ends.out), true);
}
