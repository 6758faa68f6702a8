#include "track/export_writer.h"

namespace track {

namespace {

constexpr int64_t kHalfTurnE7 = 1'800'000'000;

class GpxWriter : public TrackWriter {
 public:
  void begin(std::string& out) override {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"orvanta-export\" xmlns=\"http://www.topografix.com/GPX/1/1\""
        " xmlns:orvanta=\"urn:orvanta:gpx:1\">\n"
        " <trk>\n"
        "  <trkseg>\n";
  }

  void point(const ExportPoint& p, std::string& out) override {
    out += "   <trkpt lat=\"";
    append_degrees(out, p.lat_e7);
    out += "\" lon=\"";
    // GPX takes longitudes from -180 up to, not including, 180: the 180th
    // meridian east is the same line as the 180th west.
    append_degrees(out, p.lon_e7 == kHalfTurnE7 ? -kHalfTurnE7 : p.lon_e7);
    out += "\">";
    if (!p.time.empty()) out.append("<time>").append(p.time).append("</time>");
    if (!p.speed_knots.empty()) {
      out.append("<extensions><orvanta:speed_knots>")
          .append(p.speed_knots)
          .append("</orvanta:speed_knots></extensions>");
    }
    out += "</trkpt>\n";
  }

  void end(std::string& out) override {
    out +=
        "  </trkseg>\n"
        " </trk>\n"
        "</gpx>\n";
  }
};

}  // namespace

std::unique_ptr<TrackWriter> make_gpx_writer() { return std::make_unique<GpxWriter>(); }

}  // namespace track
