#include "track/export_stream.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

using track::ExportOutcome;
using track::TextSource;
using Kind = ExportOutcome::Kind;

namespace {

// A journal record as the logger writes it; `lat` and `lon` as "48° 07' 0380" N"
// with '@' for the degree byte.
std::string record(const std::string& date, const std::string& time, std::string lat, std::string lon,
                   const std::string& speed) {
  for (std::string* s : {&lat, &lon}) s->replace(s->find('@'), 1, "\xB0");
  return date + "\t" + time + "\t" + lat + "\t" + lon + "\t" + speed + " noeuds\r\n";
}

// North-east; empty line; south and "O" at midnight of 2000; a hair south-west
// of zero on a leap day, with a garbled speed; a date that is no date.
const std::string kJournal =
    record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022") + "\r\n" +
    record("01/01/2000", "00:00:00", "33@ 51' 5000\" S", "151@ 12' 3000\" O", "5.2") +
    record("29/02/2000", "23:59:59", "00@ 00' 0001\" S", "000@ 00' 0001\" W", ",,2") +
    record("\?\?/\?\?/\?\?\?\?", "\?\?:\?\?:\?\?", "45@ 00' 0000\" N", "006@ 00' 0000\" E", "12.");

struct Converted {
  ExportOutcome outcome;
  std::string text;
  int blocks = 0;
};

Converted convert(const std::string& journal, std::string_view format, bool sink_ok = true) {
  TextSource source(journal, 7);  // reads cut across block ends
  Converted c;
  c.outcome = track::export_journal(source, *track::make_track_writer(format), [&](std::string_view block) {
    c.text += block;
    ++c.blocks;
    return sink_ok;
  });
  return c;
}

}  // namespace

TEST(Export, GpxHoldsSignedDegreesUtcTimesAndKnots) {
  const Converted c = convert(kJournal, "gpx");
  EXPECT_EQ(c.outcome.kind, Kind::Written);
  EXPECT_EQ(c.outcome.lines, 5);
  EXPECT_EQ(c.outcome.points, 4);
  EXPECT_EQ(c.text,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<gpx version=\"1.1\" creator=\"orvanta-export\" xmlns=\"http://www.topografix.com/GPX/1/1\""
            " xmlns:orvanta=\"urn:orvanta:gpx:1\">\n"
            " <trk>\n"
            "  <trkseg>\n"
            "   <trkpt lat=\"48.1173000\" lon=\"11.5166667\"><time>2094-03-23T12:35:19Z</time>"
            "<extensions><orvanta:speed_knots>22</orvanta:speed_knots></extensions></trkpt>\n"
            "   <trkpt lat=\"-33.8583333\" lon=\"-151.2050000\"><time>2000-01-01T00:00:00Z</time>"
            "<extensions><orvanta:speed_knots>5.2</orvanta:speed_knots></extensions></trkpt>\n"
            "   <trkpt lat=\"-0.0000017\" lon=\"-0.0000017\"><time>2000-02-29T23:59:59Z</time></trkpt>\n"
            "   <trkpt lat=\"45.0000000\" lon=\"6.0000000\">"
            "<extensions><orvanta:speed_knots>12</orvanta:speed_knots></extensions></trkpt>\n"
            "  </trkseg>\n"
            " </trk>\n"
            "</gpx>\n");
}

TEST(Export, KmlDrawsTheLineAndNamesItsEnds) {
  EXPECT_EQ(convert(kJournal, "kml").text,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
            " <Document>\n"
            "  <name>Orvanta</name>\n"
            "  <Placemark>\n"
            "   <name>Trace</name>\n"
            "   <LineString>\n"
            "    <tessellate>1</tessellate>\n"
            "    <coordinates>\n"
            "11.5166667,48.1173000\n"
            "-151.2050000,-33.8583333\n"
            "-0.0000017,-0.0000017\n"
            "6.0000000,45.0000000\n"
            "    </coordinates>\n"
            "   </LineString>\n"
            "  </Placemark>\n"
            "  <Placemark>\n"
            "   <name>Début</name>\n"
            "   <TimeStamp><when>2094-03-23T12:35:19Z</when></TimeStamp>\n"
            "   <Point><coordinates>11.5166667,48.1173000</coordinates></Point>\n"
            "  </Placemark>\n"
            "  <Placemark>\n"
            "   <name>Fin</name>\n"
            "   <Point><coordinates>6.0000000,45.0000000</coordinates></Point>\n"
            "  </Placemark>\n"
            " </Document>\n"
            "</kml>\n");

  // One point makes no line, only its two names.
  const std::string one =
      convert(record("01/01/2000", "00:00:00", "00@ 00' 0000\" S", "000@ 00' 0000\" O", "0"), "kml").text;
  EXPECT_EQ(one.find("LineString"), std::string::npos);
  EXPECT_NE(one.find("<name>Fin</name>\n   <TimeStamp><when>2000-01-01T00:00:00Z</when></TimeStamp>\n"
                     "   <Point><coordinates>0.0000000,0.0000000</coordinates>"),
            std::string::npos)
      << one;
}

TEST(Export, CsvIsOneLinePerRecord) {
  EXPECT_EQ(convert(kJournal, "csv").text,
            "time,lat,lon,speed_knots\n"
            "2094-03-23T12:35:19Z,48.1173000,11.5166667,22\n"
            "2000-01-01T00:00:00Z,-33.8583333,-151.2050000,5.2\n"
            "2000-02-29T23:59:59Z,-0.0000017,-0.0000017,\n"
            ",45.0000000,6.0000000,12\n");
  EXPECT_EQ(track::make_track_writer("GPX"), nullptr);
}

TEST(Export, OnlyCalendarTimesAndNumbersAreWritten) {
  const std::pair<std::string, std::string> times[] = {{"31/12/1999", "1999-12-31T23:59:59Z"},
                                                       {"29/02/2100", ""},
                                                       {"31/04/2000", ""},
                                                       {"00/01/2000", ""},
                                                       {"01/13/2000", ""},
                                                       {"1/01/2000", ""},
                                                       {"01/01/00", ""},
                                                       {"01-01-2000", ""}};
  for (const auto& [date, iso] : times) {
    const std::string csv =
        convert(record(date, "23:59:59", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022"), "csv").text;
    EXPECT_EQ(csv.substr(25, csv.find(',', 25) - 25), iso) << date;
  }
  const std::pair<std::string, std::string> speeds[] = {{"000", "0"},   {"0.0", "0"}, {".5", "0.5"},
                                                        {"100", "100"}, {"1,0", ""},  {"-1", ""},
                                                        {"???", ""},    {".", ""},    {" 7", "7"}};
  for (const auto& [speed, knots] : speeds) {
    const std::string csv =
        convert(record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", speed), "csv").text;
    EXPECT_EQ(csv.substr(csv.rfind(',') + 1), knots + "\n") << speed;
  }
}

TEST(Export, FailsWhereTheViewerFailsAndWritesNothingBeforeTheFirstPoint) {
  const std::string good = record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022");
  const std::string bad = record("23/03/2094", "12:35:19", "48@ 60' 0380\" N", "011@ 31' 0000\" E", "022");

  Converted c = convert("header\r\n" + bad + good, "gpx");
  EXPECT_EQ(c.outcome.kind, Kind::FaultyLine);
  EXPECT_EQ(c.outcome.lines, 2);
  EXPECT_EQ(c.blocks, 0);

  // A line of 118 characters is whole; its LF is a read of its own and counts.
  const std::string longest =
      record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022" + std::string(55, ' '));
  ASSERT_EQ(longest.size(), 120u);
  c = convert(longest + good + bad, "csv");
  EXPECT_EQ(c.outcome.kind, Kind::FaultyLine);
  EXPECT_EQ(c.outcome.lines, 4);

  EXPECT_EQ(convert("\r\nshort\r\n", "kml").outcome.kind, Kind::NothingAccepted);
  EXPECT_EQ(convert(good, "gpx", false).outcome.kind, Kind::CannotWrite);

  // Lines ended by CR alone are refused whole, even when passing over faults.
  std::string cr_alone;
  for (int i = 0; i < 20; ++i) cr_alone += good.substr(0, good.size() - 1);
  for (const bool skip : {false, true}) {
    TextSource source(cr_alone);
    const ExportOutcome outcome = track::export_journal(
        source, *track::make_track_writer("csv"), [](std::string_view) { return true; },
        skip ? track::SkippedLine([](int64_t, track::JournalField) {}) : track::SkippedLine());
    EXPECT_EQ(outcome.kind, Kind::CrOnlyLineEnds);
    EXPECT_EQ(outcome.points, 0);
  }
}

TEST(Export, PositionsBeyondThePolesAreLeftOutAndCounted) {
  const std::string good = record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022");
  const Converted c = convert(good + record("23/03/2094", "12:35:19", "90@ 00' 0001\" N", "011@ 31' 0000\" E", "0") +
                                  record("23/03/2094", "12:35:19", "90@ 00' 0000\" S", "180@ 00' 0000\" W", "0") +
                                  record("23/03/2094", "12:35:19", "00@ 00' 0000\" N", "180@ 59' 9999\" E", "0"),
                              "csv");
  EXPECT_EQ(c.outcome.kind, Kind::Written);
  EXPECT_EQ(c.outcome.points, 2);
  EXPECT_EQ(c.outcome.off_globe, 2);
  EXPECT_EQ(c.outcome.first_off_globe_line, 2);
  EXPECT_NE(c.text.find("\n2094-03-23T12:35:19Z,-90.0000000,-180.0000000,0\n"), std::string::npos) << c.text;

  // GPX has no +180: that meridian is written as -180.
  const Converted gpx = convert(record("23/03/2094", "12:35:19", "00@ 00' 0000\" N", "180@ 00' 0000\" E", "0"), "gpx");
  EXPECT_NE(gpx.text.find("lat=\"0.0000000\" lon=\"-180.0000000\""), std::string::npos) << gpx.text;
}

// Asked to, the export passes over every faulty line, each told with its
// number and the field where it goes wrong, and keeps the records after it.
TEST(Export, PassesOverFaultyLinesWhenAskedAndTellsWhereEachGoesWrong) {
  using track::JournalField;
  const std::string good = record("23/03/2094", "12:35:19", "48@ 07' 0380\" N", "011@ 31' 0000\" E", "022");
  auto with = [](const std::string& lat, const std::string& lon) {
    return record("23/03/2094", "12:35:19", lat, lon, "0");
  };
  const std::pair<std::string, JournalField> faulty[] = {
      {std::string(60, 'x') + "\r\n", track::kDate},
      {with("91@ 07' 0380\" N", "011@ 31' 0000\" E"), track::kLatDegres},
      {good.substr(0, 30) + good, track::kLatFraction},  // a fragment, then a record glued to it
      {with("48@ 07' 0380\" n", "011@ 31' 0000\" E"), track::kLatHemisphere},
      {with("48@ 07' 0380\" N", "011@ 3l' 0000\" E"), track::kLonMinutes},
      {with("48@ 07' 0380\" N", "011@ 31' 0000\" EW"), track::kLonHemisphere},
      {good.substr(0, good.size() - 2) + "\n", track::kVitesse}};  // LF alone
  std::string journal = good;
  for (const auto& [line, field] : faulty) journal += line;
  TextSource source(journal + good, 7);
  std::vector<std::pair<int64_t, JournalField>> told;
  const ExportOutcome outcome = track::export_journal(
      source, *track::make_track_writer("csv"), [](std::string_view) { return true; },
      [&](int64_t line, JournalField field) { told.emplace_back(line, field); });
  EXPECT_EQ(outcome.kind, Kind::Written);
  EXPECT_EQ(outcome.points, 2);
  ASSERT_EQ(told.size(), std::size(faulty));
  for (std::size_t i = 0; i < told.size(); ++i) EXPECT_EQ(told[i], std::pair(int64_t(i) + 2, faulty[i].second));
}
