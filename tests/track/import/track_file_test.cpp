#include "track/import/track_file.h"

#include "support/journal_text.h"
#include "track/export_stream.h"
#include "track/import/text_lines.h"

#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using track::OpenOutcome;
using track::TrackFormat;
using track::TrackPoints;
using Kind = track::LoadOutcome::Kind;

namespace {

class TrackFile : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  OpenOutcome open(const std::string& name, const std::string& text) {
    return track::read_track_file(write(name, text), points_, {});
  }

  QTemporaryDir dir_;
  TrackPoints points_;
};

// A journal record at `lat`, `lon` (ten-thousandths of a minute) at the given
// date and time, with `speed` as the logger writes it.
std::string record(int32_t lat, int32_t lon, const std::string& when, const std::string& speed) {
  std::string r = viewer_test::record_at(lat, lon);
  r.replace(0, 19, when);
  r.replace(r.find("022 noeuds"), 3, speed);
  return r;
}

// Crosses the 180th meridian southwards of the equator, then the date line
// at midnight; the last record has a garbled date and speed.
const std::string kJournal = record(-10200000, 107998800, "31/12/2025\t23:59:58", "5.2") +
                             record(-10200100, -107998900, "01/01/2026\t00:00:01", "012") +
                             record(-10200200, -107990000, "01/01/2026\t00:00:04", "12.") +
                             record(3000000, 0, "\?\?/\?\?/\?\?\?\?\t\?\?:\?\?:\?\?", ",,2");

std::string exported(const std::string& format) {
  track::TextSource source(kJournal);
  std::string text;
  track::export_journal(source, *track::make_track_writer(format), [&](std::string_view block) {
    text += block;
    return true;
  });
  return text;
}

}  // namespace

TEST(TrackFormat, SniffedFromTheContent) {
  const std::vector<std::pair<std::string, std::optional<TrackFormat>>> cases = {
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- x --><gpx version=\"1.0\">", TrackFormat::Gpx},
      {"  <g:gpx xmlns:g=\"http://www.topografix.com/GPX/1/1\">", TrackFormat::Gpx},
      {"<?xml version=\"1.0\"?><kml>", std::nullopt},
      {"time,lat,lon,speed_knots\r\n", TrackFormat::Csv},
      {"time,lat,lon,speed_knots,extra\n", TrackFormat::Journal},
      {"# receiver log\n$GNRMC", TrackFormat::Journal},  // cut before the comma
      {"# receiver log\r\n$GNGGA,074210,4511.2246", TrackFormat::Nmea},
      {"", TrackFormat::Journal},
      {kJournal, TrackFormat::Journal},
  };
  for (const auto& [text, format] : cases) EXPECT_EQ(track::sniff_track_format(text), format) << text;
}

TEST_F(TrackFile, ExportedGpxAndCsvReadBackAsTheJournal) {
  ASSERT_EQ(open("j.txt", kJournal).kind, Kind::Loaded);
  const TrackPoints journal = std::move(points_);
  for (const std::string format : {"gpx", "csv"}) {
    points_ = TrackPoints();
    const OpenOutcome outcome = open("track." + format, exported(format));
    ASSERT_EQ(outcome.kind, Kind::Loaded) << outcome.message;
    EXPECT_EQ(outcome.format, format == "gpx" ? TrackFormat::Gpx : TrackFormat::Csv);
    ASSERT_EQ(points_.size(), journal.size());
    for (std::size_t i = 0; i < journal.size(); ++i) {
      EXPECT_EQ(points_.position(i).lat, journal.position(i).lat) << format << i;
      EXPECT_EQ(points_.position(i).lon, journal.position(i).lon) << format << i;
      EXPECT_EQ(points_.time_ms(i), journal.time_ms(i)) << format << i;
      EXPECT_EQ(points_.speed_knots(i), journal.speed_knots(i)) << format << i;
      EXPECT_DOUBLE_EQ(points_.Distance_cumulee(i), journal.Distance_cumulee(i));
      // The record line reads as the journal's, blanks included.
      const auto a = points_[i], b = journal[i];
      EXPECT_EQ(a->Lat_degres + a->Lat_minutes + a->Lat_fraction + a->Lat_hemisphere + a->Lon_degres + a->Lon_minutes +
                    a->Lon_fraction + a->Lon_hemisphere,
                b->Lat_degres + b->Lat_minutes + b->Lat_fraction + b->Lat_hemisphere + b->Lon_degres + b->Lon_minutes +
                    b->Lon_fraction + b->Lon_hemisphere);
      if (journal.time_ms(i)) {
        EXPECT_EQ(a->Date + a->Heure, b->Date + b->Heure);
      }
    }
  }
}

TEST_F(TrackFile, NmeaFixesJoinTheirSentencesAndSkipTheNoise) {
  const std::string log =
      "# comment\r\n"
      "$GPGSA,A,3,02,04,,,,,,,,,,,1.9,1.1,1.5*38\r\n"
      "$GPRMC,235958,A,4511.2246,N,00543.3163,E,004.3,062.0,311225,002.5,E*73\r\n"  // wrong checksum
      "$GPRMC,235959,A,4511.2246,N,00543.3163,E,004.3,062.0,311225,002.5,E*73\r\n"
      "$GPGGA,235959,4511.2246,N,00543.3163,E,1,10,1.1,213.8,M,49.2,M,,*43\r\n"
      "$GPRMC,000000,V,4511.2246,N,00543.3163,E,,,010126,,*08\r\n"
      "garbage$GNGGA,000001.50,4511.22461,S,00543.31638,W,2,10,1.1,-3.5,M,49.2,M,,*50\n"
      "$GPGGA,000002,4511.2300,N,00543.3200,E,1,10,1.1,250,M,49.2,M,,*54\n"  // the RMC of its fix follows
      "$GLRMC,000002,A,4511.2300,N,00543.3200,E,10.25,0,010126,,";           // no checksum, no line end
  const OpenOutcome outcome = open("drive.nmea", log);
  ASSERT_EQ(outcome.kind, Kind::Loaded) << outcome.message;
  ASSERT_EQ(points_.size(), 3u);
  EXPECT_EQ(points_.time_ms(0), int64_t{1767225599000});
  EXPECT_EQ(points_.speed_knots(0), 4.3);
  EXPECT_NEAR(points_.elevation_m(0).value_or(0), 213.8, 1e-4);
  // The GGA after midnight takes the next day of the last RMC's date.
  EXPECT_EQ(points_.time_ms(1), int64_t{1767225601500});
  EXPECT_EQ(points_.position(1).lat, -(45 * 600000 + 112246));
  EXPECT_EQ(points_.position(1).lon, -(5 * 600000 + 433164));
  EXPECT_EQ(points_.elevation_m(1), -3.5);
  EXPECT_EQ(points_.speed_knots(1), std::nullopt);
  EXPECT_EQ(points_.speed_knots(2), 10.25);
  EXPECT_EQ(points_.elevation_m(2), 250);
  EXPECT_EQ(points_.time_ms(2), int64_t{1767225602000});

  // Without any RMC, fixes have no date, so no time.
  ASSERT_EQ(open("gga.nmea", "$GPGGA,120000,0000.0000,N,00000.0000,E,6,00,,,M,,M,,*58\n").kind, Kind::Loaded);
  EXPECT_EQ(points_.time_ms(0), std::nullopt);
}

TEST_F(TrackFile, AFaultNamesItsLineAndLeavesThePreviousTrack) {
  ASSERT_EQ(open("j.txt", kJournal).kind, Kind::Loaded);
  const std::vector<std::tuple<std::string, std::string, int64_t>> cases = {
      {"bad.gpx", "<gpx>\n<trk><trkseg>\n<trkpt lat=\"1\" lon=\"2\"/>\n<trkpt lat=\"91\" lon=\"0\"/>", 4},
      {"cut.gpx", "<gpx version=\"1.0\">\n<rte>\n<rtept lat=\"1\" lon=\"2\"><speed>x</speed>\n</rtept>", 3},
      {"open.gpx", "<gpx>\n<trk><trkseg>\n<trkpt lat=\"1\" lon=\"2\"></trkpt>\n", 4},
      {"bad.csv", "time,lat,lon,speed_knots\n,1,2,\n\n2026-01-01T00:00:00Z,1,2,3,4\n", 4},
      {"bad.nmea",
       "$GPRMC,000002,A,4511.2300,N,00543.3200,E,10.25,0,010126,,*00\n"
       "$GPRMC,000003,A,4575.2300,N,00543.3200,E,10.25,0,010126,,*03\n",
       2},
      {"faulty.txt", record(0, 0, "01/01/2026\t00:00:01", "012") + std::string(60, 'x') + "\r\n", 2},
  };
  for (const auto& [name, text, line] : cases) {
    const OpenOutcome outcome = open(name, text);
    EXPECT_EQ(outcome.kind, Kind::FaultyLine) << name;
    EXPECT_EQ(outcome.line, line) << name;
    EXPECT_NE(outcome.message.find(std::to_string(line) + "."), std::string::npos) << outcome.message;
    EXPECT_EQ(points_.size(), 4u) << name;
  }
  EXPECT_EQ(open("x.kml", "<kml/>").kind, Kind::NothingAccepted);
  EXPECT_EQ(open("empty.nmea", "$GPGSV,1,1\n").kind, Kind::NothingAccepted);
  EXPECT_EQ(track::read_track_file(dir_.path().toStdString(), points_, {}).kind, Kind::CannotRead);
  EXPECT_EQ(points_.size(), 4u);
}

TEST(TrackFileCaptures, EveryReceiverLogOpens) {
  const std::filesystem::path captures = ORVANTA_CAPTURES_DIR;
  if (!std::filesystem::exists(captures)) GTEST_SKIP() << "no captures";
  for (const auto& entry : std::filesystem::directory_iterator(captures)) {
    if (entry.path().extension() != ".log") continue;
    TrackPoints points;
    const OpenOutcome outcome = track::read_track_file(entry.path().string(), points, {});
    EXPECT_EQ(outcome.kind, Kind::Loaded) << entry.path() << outcome.message;
  }
  TrackPoints drive;
  ASSERT_EQ(track::read_track_file(ORVANTA_SAMPLES_DIR "/drive.nmea", drive, {}).kind, Kind::Loaded);
  EXPECT_GT(drive.size(), 100u);
  EXPECT_TRUE(drive.time_ms(0));
  EXPECT_TRUE(drive.speed_knots(0));
  EXPECT_TRUE(drive.elevation_m(0));
}

TEST(TextLines, SplitAtLfWithoutCrWhereverTheReadsEnd) {
  const std::string longest(track::kLongestTextLine, 'a');
  const std::string text = "one\r\n\ntwo\r" + longest + "bbb\r\nthree\nlast";
  const std::vector<std::string> expected = {"one", "", "two\r" + longest.substr(4), "three", "last"};
  for (std::size_t chunk : {std::size_t{1}, std::size_t{5}, SIZE_MAX}) {
    track::TextSource source(text, chunk);
    track::TextLines lines(source, 1);
    std::vector<std::string> got;
    std::string_view line;
    while (lines.next(line) == track::TextLines::Status::Line) got.emplace_back(line);
    EXPECT_EQ(got, expected) << chunk;
    EXPECT_EQ(lines.number(), 5);
    EXPECT_EQ(lines.offset(), text.size());
  }
}

TEST_F(TrackFile, GpxPointsOfEveryTrackAndRouteWithTheirValues) {
  const std::string gpx =
      "<?xml version=\"1.0\"?>\n"
      "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:o=\"urn:orvanta:gpx:1\""
      " xmlns:x=\"http://www.garmin.com/xmlschemas/TrackPointExtension/v1\">\n"
      "<metadata><time>2000-01-01T00:00:00Z</time></metadata><wpt lat=\"5\" lon=\"5\"/>\n"
      "<trk><trkseg><trkpt lat=\"45.5\" lon=\"-6.25\"><ele> 1204.5 </ele><time>2026-01-01T01:00:00+01:00</time>"
      "<extensions><x:TrackPointExtension><x:speed>10</x:speed></x:TrackPointExtension></extensions></trkpt>"
      "</trkseg><trkseg><trkpt lat=\"45.6\" lon=\"-6.25\"><extensions><o:speed_knots>3.5</o:speed_knots>"
      "<speed_knots>99</speed_knots></extensions></trkpt></trkseg></trk>\n"
      "<rte><rtept lat=\"+45.7\" lon=\"-6.2500\"><speed>1</speed><time>2026-01-01T00:00:01.5Z</time></rtept></rte>"
      "</gpx>";
  std::vector<uint64_t> offsets;
  const OpenOutcome outcome =
      track::read_track_file(write("t.gpx", gpx), points_, [&](uint64_t offset) { offsets.push_back(offset); });
  ASSERT_EQ(outcome.kind, Kind::Loaded) << outcome.message;
  EXPECT_EQ(offsets.front(), 0u);
  EXPECT_EQ(offsets.back(), gpx.size());
  ASSERT_EQ(points_.size(), 3u);
  EXPECT_EQ(points_.position(0).lat, 45 * 600000 + 300000);
  EXPECT_EQ(points_.position(2).lon, -(6 * 600000 + 150000));
  EXPECT_EQ(points_.time_ms(0), int64_t{1767225600000});
  EXPECT_EQ(points_.time_ms(1), std::nullopt);
  EXPECT_EQ(points_.time_ms(2), int64_t{1767225601500});
  EXPECT_NEAR(points_.speed_knots(0).value_or(0), 19.44, 0.01);  // 10 m/s
  EXPECT_EQ(points_.speed_knots(1), 3.5);                        // ours, not another namespace's
  EXPECT_NEAR(points_.speed_knots(2).value_or(0), 1.94, 0.01);
  EXPECT_EQ(points_.elevation_m(0), 1204.5);
  EXPECT_EQ(points_.elevation_m(2), std::nullopt);
}

TEST_F(TrackFile, CsvTakesEmptyTimesAndSpeeds) {
  const OpenOutcome outcome =
      open("t.csv", "\xEF\xBB\xBFtime,lat,lon,speed_knots\r\n,-1.5,2,\r\n2026-01-01T00:00:00Z,1e-1,-180,0.5\r\n");
  ASSERT_EQ(outcome.kind, Kind::Loaded) << outcome.message;
  ASSERT_EQ(points_.size(), 2u);
  EXPECT_EQ(points_.time_ms(0), std::nullopt);
  EXPECT_EQ(points_.speed_knots(0), std::nullopt);
  EXPECT_EQ(points_.position(1).lat, 60000);
  EXPECT_EQ(points_.speed_knots(1), 0.5);
  EXPECT_EQ(open("neg.csv", "time,lat,lon,speed_knots\n,1,2,-1\n").line, 2);
}
