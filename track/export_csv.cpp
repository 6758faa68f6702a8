#include "track/export_writer.h"

namespace track {

namespace {

class CsvWriter : public TrackWriter {
 public:
  void begin(std::string& out) override { out += "time,lat,lon,speed_knots\n"; }

  void point(const ExportPoint& p, std::string& out) override {
    out += p.time;
    out += ',';
    append_degrees(out, p.lat_e7);
    out += ',';
    append_degrees(out, p.lon_e7);
    out += ',';
    out += p.speed_knots;
    out += '\n';
  }

  void end(std::string&) override {}
};

}  // namespace

std::unique_ptr<TrackWriter> make_csv_writer() { return std::make_unique<CsvWriter>(); }

}  // namespace track
