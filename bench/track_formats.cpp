// How fast the viewer opens the other track formats, and what the statistics
// of a whole track cost, each next to a baseline measured in the same run.
//
//   track_formats [--lines N]... [--runs N] [--dir DIR]
//
// journal_generator writes a journal of each --lines size (default
// 1,000,000) into DIR (default $TMPDIR or /tmp); the export's library code
// turns it into GPX and CSV beside it. Times are CPU times of this thread,
// medians of N runs (default 5), a figure's runs interleaved with its
// baseline's:
//   gpx     read_track_file on the GPX, against a bare QXmlStreamReader pass
//           over the same file (readNext() to the end, nothing kept);
//   csv     read_track_file on the CSV, against wc -l on it;
//   journal read_track_file on the journal (sniffed, read into a fresh track
//           and swapped in), against wc -l on it;
//   stats   track_statistics over the whole journal's track, against the
//           same track's journal load.
#include "journal_bench.h"
#include "track/export_stream.h"
#include "track/import/track_file.h"
#include "track/journal_file.h"
#include "track/statistics.h"

#include <QFile>
#include <QXmlStreamReader>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double cpu_ms() { return bench::cpu_ms(CLOCK_THREAD_CPUTIME_ID); }

// Medians of `a` and `b`, run in turn.
std::pair<double, double> paired(int runs, const std::function<void()>& a, const std::function<void()>& b) {
  std::vector<double> ta, tb;
  for (int r = 0; r < runs; ++r) {
    double start = cpu_ms();
    a();
    ta.push_back(cpu_ms() - start);
    start = cpu_ms();
    b();
    tb.push_back(cpu_ms() - start);
  }
  return {bench::median(ta), bench::median(tb)};
}

bool export_to(const std::string& journal, const std::string& format, const std::string& path) {
  const std::unique_ptr<track::JournalFile> source = track::JournalFile::open(journal);
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!source || !out) return false;
  const track::ExportOutcome outcome = track::export_journal(
      *source, *track::make_track_writer(format),
      [out](std::string_view block) { return std::fwrite(block.data(), 1, block.size(), out) == block.size(); });
  return std::fclose(out) == 0 && outcome.kind == track::ExportOutcome::Kind::Written;
}

std::size_t open_track(const std::string& path) {
  track::TrackPoints points;
  const track::OpenOutcome outcome = track::read_track_file(path, points, [](uint64_t) {});
  if (outcome.kind != track::LoadOutcome::Kind::Loaded) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), outcome.message.c_str());
    std::exit(1);
  }
  return points.size();
}

void bare_xml_pass(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) std::exit(1);
  QXmlStreamReader xml(&file);
  while (!xml.atEnd()) xml.readNext();
}

void line(const char* what, double figure, double baseline, const char* baseline_name) {
  std::printf("  %-8s %9.1f ms   %-22s %9.1f ms   %5.2fx\n", what, figure, baseline_name, baseline, figure / baseline);
}

}  // namespace

int main(int argc, char** argv) {
  bench::JournalRuns runs;
  const char* usage = "track_formats [--lines N]... [--runs N] [--dir DIR]\n";
  if (const auto status = bench::parse_journal_runs(argc, argv, usage, {1000000}, runs)) return *status;
  std::printf("load average %s\n", bench::load_average().c_str());
  for (const unsigned long lines : runs.sizes) {
    const std::string base = runs.dir + "/track_formats_" + std::to_string(lines);
    const std::string journal = base + ".txt", gpx = base + ".gpx", csv = base + ".csv";
    if (!bench::generate_journal(journal, lines) || !export_to(journal, "gpx", gpx) ||
        !export_to(journal, "csv", csv)) {
      return 1;
    }
    std::printf("%lu records\n", lines);
    auto [gpx_open, xml] = paired(
        runs.runs, [&] { open_track(gpx); }, [&] { bare_xml_pass(gpx); });
    line("gpx", gpx_open, xml, "bare QXmlStreamReader");
    auto [csv_open, csv_lines] = paired(
        runs.runs, [&] { open_track(csv); }, [&] { bench::count_lines(csv); });
    line("csv", csv_open, csv_lines, "wc -l");
    auto [journal_open, journal_lines] = paired(
        runs.runs, [&] { open_track(journal); }, [&] { bench::count_lines(journal); });
    line("journal", journal_open, journal_lines, "wc -l");
    track::TrackPoints points;
    track::read_track_file(journal, points, {});
    auto [stats, load] = paired(
        runs.runs, [&] { track::track_statistics(points, 0, points.size() - 1); },
        [&] {
          track::TrackPoints again;
          track::read_track_file(journal, again, {});
        });
    line("stats", stats, load, "journal open");
    for (const std::string& path : {journal, gpx, csv}) std::remove(path.c_str());
  }
  return 0;
}
