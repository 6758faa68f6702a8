#include "track/journal_loader.h"

#include "support/journal_text.h"
#include "track/journal_file.h"

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using track::LoadOutcome;
using track::read_journal;
using track::TextSource;
using track::TrackPoints;
using viewer_test::Position;
using viewer_test::record;
using Kind = LoadOutcome::Kind;

namespace {

LoadOutcome load(const std::string& text, TrackPoints& points, std::size_t chunk = SIZE_MAX) {
  return read_journal(std::make_shared<TextSource>(text, chunk), points, {});
}

// Every read of `text`, as the reader cuts it.
std::vector<std::string> reads_of(const std::string& text, std::size_t chunk, std::size_t block) {
  TextSource source(text, chunk);
  track::JournalReads reads(source, block);
  std::vector<std::string> out;
  std::string_view read;
  while (reads.next(read) == track::JournalReads::Status::Read) out.emplace_back(read);
  return out;
}

}  // namespace

TEST(JournalReads, CutAfterEachLfOrAt119BytesWhereverTheBlocksEnd) {
  std::string text = "short\n" + std::string(150, 'a') + "\n\n" + record() + "tail without end";
  const std::vector<std::string> expected = {"short\n", std::string(119, 'a'), std::string(31, 'a') + "\n", "\n",
                                             record(),  "tail without end"};
  for (std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{119}, SIZE_MAX}) {
    for (std::size_t block : {std::size_t{1}, std::size_t{300}, std::size_t{1} << 20}) {
      EXPECT_EQ(reads_of(text, chunk, block), expected) << chunk << " " << block;
    }
  }
}

TEST(JournalLoader, SkipsShortReadsButCountsThemInLineNumbers) {
  TrackPoints points;
  const std::string header = "Journal de bord\r\n";
  std::string text = header + "\r\n" + record() + record({"48", "08"});
  EXPECT_EQ(load(text, points).kind, Kind::Loaded);
  EXPECT_EQ(points.size(), 2u);

  text += std::string(57, 'x') + "\n" + record({"48", "60"});
  const LoadOutcome faulty = load(text, points);
  EXPECT_EQ(faulty.kind, Kind::FaultyLine);
  EXPECT_EQ(faulty.lines, 6);
  // The points before the faulty line stay.
  EXPECT_EQ(points.size(), 2u);

  // 59 characters are enough to be scanned.
  EXPECT_EQ(load(header + std::string(57, 'x') + "\r\n", points).kind, Kind::FaultyLine);
}

TEST(JournalLoader, ALongestLineIsAcceptedAndItsLfCountsAsALine) {
  std::string longest = record();
  longest.insert(longest.find(" noeuds"), 118 - 63, '0');
  ASSERT_EQ(longest.size(), 120u);
  TrackPoints points;
  LoadOutcome outcome = load(longest + record({"91"}), points);
  EXPECT_EQ(outcome.kind, Kind::FaultyLine);
  EXPECT_EQ(outcome.lines, 3);  // the lone LF was line 2
  EXPECT_EQ(points.size(), 1u);

  std::string too_long = longest;
  too_long.insert(0, "0");
  outcome = load(record() + too_long, points);
  EXPECT_EQ(outcome.kind, Kind::FaultyLine);
  EXPECT_EQ(outcome.lines, 2);
}

TEST(JournalLoader, AnEmptyOrUnreadableJournalAcceptsNothing) {
  TrackPoints points;
  EXPECT_EQ(load("", points).kind, Kind::NothingAccepted);
  EXPECT_EQ(load("\r\n\r\nabc\r\n", points).kind, Kind::NothingAccepted);
  // LF-only line ends: the first long enough line is faulty.
  std::string lf_only = record();
  lf_only.erase(lf_only.size() - 2, 1);
  const LoadOutcome outcome = load("\n" + lf_only, points);
  EXPECT_EQ(outcome.kind, Kind::FaultyLine);
  EXPECT_EQ(outcome.lines, 2);
}

TEST(JournalLoader, ReportsProgressByByteOffsetUpToTheEnd) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += record();
  TrackPoints points;
  std::vector<uint64_t> offsets;
  read_journal(
      std::make_shared<TextSource>(text, 4096), points, [&](uint64_t offset) { offsets.push_back(offset); },
      std::chrono::milliseconds(0));
  ASSERT_GE(offsets.size(), 3u);
  EXPECT_EQ(offsets.front(), 0u);
  EXPECT_EQ(offsets.back(), text.size());
  EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
  EXPECT_EQ(points.size(), 5000u);
}

TEST(JournalLoader, AFailingReadIsNotTakenForTheEnd) {
  struct Failing : TextSource {
    Failing() : TextSource(record() + record()) {}
    int calls = 0;
    std::optional<std::size_t> read(char* buffer, std::size_t capacity) override {
      if (calls++ > 0) return std::nullopt;
      return TextSource::read(buffer, std::min<std::size_t>(capacity, 65));
    }
  };
  TrackPoints points;
  EXPECT_EQ(read_journal(std::make_shared<Failing>(), points, {}).kind, Kind::CannotRead);
}

TEST(JournalLoader, AJournalLongerThanItsSizeAtOpeningLoadsWhole) {
  // Grown by the logger after the size was taken: the reserved room runs out.
  struct Growing : TextSource {
    using TextSource::TextSource;
    uint64_t size() const override { return 0; }
  };
  std::string text;
  for (int i = 0; i < 300; ++i) text += viewer_test::record_at(27'000'000 + 100 * i, 3'600'000 + 100 * i);
  TrackPoints points;
  ASSERT_EQ(read_journal(std::make_shared<Growing>(text), points, {}).kind, Kind::Loaded);
  ASSERT_EQ(points.size(), 300u);
  EXPECT_EQ(points.position(299).lat, 27'029'900);
  EXPECT_EQ(points[299]->Lat_fraction, " 9900");
  EXPECT_GT(points.Distance_cumulee(299), points.Distance_cumulee(298));
}

TEST(JournalFile, OpensRegularFilesOnly) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("journal.txt").toStdString();
  EXPECT_EQ(track::JournalFile::open(path), nullptr);
  EXPECT_EQ(track::JournalFile::open(""), nullptr);
  EXPECT_EQ(track::JournalFile::open(dir.path().toStdString()), nullptr);
  const std::string fifo = dir.filePath("fifo").toStdString();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(track::JournalFile::open(fifo), nullptr);  // and does not wait for a writer

  std::ofstream(path, std::ios::binary) << record() << record();
  const std::shared_ptr<track::JournalFile> file = track::JournalFile::open(path);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->size(), 130u);
  TrackPoints points;
  EXPECT_EQ(read_journal(file, points, {}).kind, Kind::Loaded);
  EXPECT_EQ(points.size(), 2u);
  // The track holds the journal open: renamed or deleted, its records stay.
  ASSERT_EQ(std::rename(path.c_str(), (path + ".old").c_str()), 0);
  ASSERT_EQ(std::remove((path + ".old").c_str()), 0);
  ASSERT_TRUE(points[1]);
  EXPECT_EQ(points[1]->Heure, "12:35:19");
}

TEST(TrackPoints, GiveBackEachRecordAsReadWithItsDistance) {
  TrackPoints points;
  ASSERT_EQ(load(record({"45", "12", "0000", "N", "6", "30", "0000", "E"}) +
                     record({"45", "12", "3456", "S", "6", "30", "1234", "W"}),
                 points)
                .kind,
            Kind::Loaded);
  const track::Struct_ligne_donnees r = points[1].value();
  EXPECT_EQ(r.Date, "23/03/2094");
  EXPECT_EQ(r.Heure, "12:35:19");
  EXPECT_EQ(r.Vitesse, "022 noeuds");
  EXPECT_EQ(r.Lat_degres, "45");
  EXPECT_EQ(r.Lat_minutes, " 12");
  EXPECT_EQ(r.Lat_fraction, " 3456");
  EXPECT_EQ(r.Lat_hemisphere, "S");
  EXPECT_EQ(r.Lon_degres, "6");
  EXPECT_EQ(r.Lon_minutes, " 30");
  EXPECT_EQ(r.Lon_fraction, " 1234");
  EXPECT_EQ(r.Lon_hemisphere, "W");
  // South and west are negative, at full precision.
  EXPECT_EQ(points.position(1).lat, -27'123'456);
  EXPECT_EQ(points.position(1).lon, -3'901'234);
  EXPECT_EQ(points[0]->Distance_cumulee, 0);
  EXPECT_EQ(r.Distance_cumulee, track::Distance_points(points.position(0), points.position(1)));
  EXPECT_EQ(points.Longueur_totale(), r.Distance_cumulee);
}
