// The viewer's mouse and keys beyond its buttons: wheel zoom at the pointer,
// dragging, picking a record on the plan, the whole track, and the keys.
#include "viewer/plan_navigation.h"
#include "viewer/speed_colours.h"
#include "viewer/statistics_text.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/speed_profile_view.h"
#include "viewer/ui/statistics_window.h"
#include "viewer/ui/tracer_gps.h"
#include "viewer/ui/up_down.h"

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <algorithm>

namespace {

// The file a drag carries, when it carries one file of this machine.
QString dropped_file(const QMimeData* data) {
  if (!data || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) return {};
  return data->urls().constFirst().toLocalFile();
}

// How near the track a click picks a record, in pixels.
constexpr double kPickReach = 8;
// Pixels kept free around the whole track, the cursor's disc included.
constexpr int kTrackMargin = 8;
}  // namespace

int TTrace::zoom_index() const {
  if (Bt_zoom->currentIndex() >= 0) return Bt_zoom->currentIndex();
  // None selected (a settings file naming no item): the step drawn now.
  const auto nearest = std::min_element(
      viewer::kZoomFactors.begin(), viewer::kZoomFactors.end(),
      [this](double a, double b) { return std::abs(a - Plan.Facteur_zoom) < std::abs(b - Plan.Facteur_zoom); });
  return static_cast<int>(nearest - viewer::kZoomFactors.begin());
}

void TTrace::show_moved_view() {
  Trace_preci->stop();
  redraw_view(Pas_rapide());
  Placer_curseur(Bt_avance->Position(), false);
  Trace_preci->start();
}

void TTrace::ImageWheel(int x, int y, int steps) {
  if (!track_shown()) return;
  const int index = std::clamp(zoom_index() + steps, 0, viewer::kZoomCount - 1);
  if (index == Bt_zoom->currentIndex()) return;
  Bt_zoom->setCurrentIndex(index);
  viewer::zoom_at(Plan, index, x, y);
  show_scale_bar();
  show_moved_view();
}

void TTrace::ImageMouseUp(int x, int y) {
  const std::optional<Press> press = press_;
  press_.reset();
  if (!press || press->dragging || !track_shown()) return;
  const auto northings = Plan.on_map ? northings_.of(Liste_points) : std::span<const double>();
  if (const std::optional<std::size_t> record = viewer::record_near(Plan, Liste_points, x, y, kPickReach, northings)) {
    go_to_record(static_cast<int>(*record));
  }
}

void TTrace::go_to_record(int position) {
  Bt_avance->SetPosition(std::clamp(position, 0, Bt_avance->Max()));
  Placer_curseur(Bt_avance->Position(), true);
}

void TTrace::Bt_tout_le_traceClick() {
  if (!track_shown()) return;
  const std::optional<viewer::TrackView> view =
      viewer::whole_track_view(Liste_points, Plan.width, Plan.height, kTrackMargin, Plan.on_map);
  Bt_zoom->setCurrentIndex(view->zoom_index);
  Plan.Centre_lat = view->centre.lat;
  Plan.Centre_lon = view->centre.lon;
  Trace_preci->stop();
  Redessiner(1, false);
}

void TTrace::keyPressEvent(QKeyEvent* event) {
  if (!track_shown()) {
    QWidget::keyPressEvent(event);
    return;
  }
  const int position = Bt_avance->Position();
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ImageWheel(Plan.half_width(), Plan.half_height(), 1);
      break;
    case Qt::Key_Minus:
      ImageWheel(Plan.half_width(), Plan.half_height(), -1);
      break;
    case Qt::Key_Left:
      Bt_gaucheClick();
      break;
    case Qt::Key_Right:
      Bt_droiteClick();
      break;
    case Qt::Key_Up:
      Bt_hautClick();
      break;
    case Qt::Key_Down:
      Bt_basClick();
      break;
    case Qt::Key_Home:
      go_to_record(0);
      break;
    case Qt::Key_End:
      go_to_record(Bt_avance->Max());
      break;
    case Qt::Key_PageUp:
      go_to_record(position - 1);
      break;
    case Qt::Key_PageDown:
      go_to_record(position + 1);
      break;
    case Qt::Key_F:
      Bt_tout_le_traceClick();
      break;
    case Qt::Key_V:
      Action_couleur_vitesse->toggle();
      break;
    case Qt::Key_P:
      Action_profil->toggle();
      break;
    case Qt::Key_D:
      Action_profil_distance->toggle();
      break;
    case Qt::Key_S:
      Action_statistiques->trigger();
      break;
    case Qt::Key_A:
      set_marker(0);
      break;
    case Qt::Key_B:
      set_marker(1);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void TTrace::set_marker(int which) {
  markers_[which] = static_cast<std::size_t>(Bt_avance->Position());
  refresh_statistics();
}

void TTrace::Bt_statistiquesClick() {
  if (!track_shown()) return;
  if (!Statistiques) Statistiques = new TStatistiques(this);
  Statistiques->show();
  refresh_statistics();
  Statistiques->raise();
}

void TTrace::refresh_statistics() {
  if (!Statistiques || !Statistiques->isVisible() || Liste_points.empty()) return;
  const std::size_t last = Liste_points.size() - 1;
  const auto whole = viewer::statistics_lines(track::track_statistics(Liste_points, 0, last));
  if (!markers_[0] || !markers_[1]) {
    Statistiques->show_lines(whole, {}, QString::fromUtf8("Entre A et B (touches A et B)"));
    return;
  }
  const std::size_t a = std::min(*markers_[0], last), b = std::min(*markers_[1], last);
  Statistiques->show_lines(whole, viewer::statistics_lines(track::track_statistics(Liste_points, a, b)),
                           QString::fromUtf8("Entre A (%1) et B (%2)").arg(a).arg(b));
}

void TTrace::Bt_couleur_vitesseClick() {
  speed_top_ = Action_couleur_vitesse->isChecked() ? viewer::top_speed_knots(Liste_points) : std::nullopt;
  if (track_shown()) redraw_view(1);
}

void TTrace::Action_profilToggled() {
  Profil->setVisible(Action_profil->isChecked());
  Profil->set_track(Profil->isVisible() ? &Liste_points : nullptr);
  lay_out_for_size();
  if (Profil->isVisible() && track_shown()) Profil->show_cursor(static_cast<std::size_t>(Bt_avance->Position()));
}

void TTrace::dragEnterEvent(QDragEnterEvent* event) {
  if (!loading_ && !dropped_file(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TTrace::dropEvent(QDropEvent* event) {
  const QString file = dropped_file(event->mimeData());
  if (loading_ || file.isEmpty()) return;
  event->acceptProposedAction();
  open_other_track(file);
}
