#include "track/export_writer.h"

namespace track {

namespace {

void append_coordinates(std::string& out, const ExportPoint& p) {
  append_degrees(out, p.lon_e7);
  out += ',';
  append_degrees(out, p.lat_e7);
}

void append_named_point(std::string& out, const char* name, const ExportPoint& p) {
  out.append("  <Placemark>\n   <name>").append(name).append("</name>\n");
  if (!p.time.empty()) out.append("   <TimeStamp><when>").append(p.time).append("</when></TimeStamp>\n");
  out += "   <Point><coordinates>";
  append_coordinates(out, p);
  out += "</coordinates></Point>\n  </Placemark>\n";
}

class KmlWriter : public TrackWriter {
 public:
  void begin(std::string& out) override {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
        " <Document>\n"
        "  <name>Orvanta</name>\n";
  }

  // A LineString needs two points: the first waits for the second.
  void point(const ExportPoint& p, std::string& out) override {
    if (count_ == 0) {
      first_ = p;
    } else {
      if (count_ == 1) {
        out +=
            "  <Placemark>\n"
            "   <name>Trace</name>\n"
            "   <LineString>\n"
            "    <tessellate>1</tessellate>\n"
            "    <coordinates>\n";
        append_coordinates(out, first_);
        out += '\n';
      }
      append_coordinates(out, p);
      out += '\n';
    }
    last_ = p;
    ++count_;
  }

  void end(std::string& out) override {
    if (count_ >= 2) {
      out +=
          "    </coordinates>\n"
          "   </LineString>\n"
          "  </Placemark>\n";
    }
    if (count_ >= 1) {
      append_named_point(out, "Début", first_);
      append_named_point(out, "Fin", last_);
    }
    out +=
        " </Document>\n"
        "</kml>\n";
  }

 private:
  int64_t count_ = 0;
  ExportPoint first_;
  ExportPoint last_;
};

}  // namespace

std::unique_ptr<TrackWriter> make_kml_writer() { return std::make_unique<KmlWriter>(); }

}  // namespace track
