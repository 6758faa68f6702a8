// The viewer's plan: scale, zoom, centring and panning, the two-phase redraw,
// the record cursor and the read-out under the pointer.
#include "common/cp1252.h"
#include "track/track_distance.h"
#include "viewer/plan_drawing.h"
#include "viewer/record_texts.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/speed_profile_view.h"
#include "viewer/ui/tracer_gps.h"
#include "viewer/ui/up_down.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <cstdlib>

namespace {
// Pixels a press may move and still be a click.
constexpr int kClickSlack = 3;
}  // namespace

void TTrace::Calcul_echelle(int32_t degres, int32_t minutes) {
  viewer::Calcul_echelle(Plan, Bt_zoom->currentIndex(), degres, minutes);
  show_scale_bar();
}

void TTrace::show_scale_bar() {
  const std::array<std::string, 5> texts = viewer::scale_bar_labels(Plan.Facteur_zoom);
  QLabel* labels[] = {Aff_echelle1, Aff_echelle2, Aff_echelle3, Aff_echelle4, Aff_echelle5};
  for (int k = 0; k < 5; ++k) labels[k]->setText(QString::fromStdString(texts[k]));
}

void TTrace::Centrer_sur_curseur() {
  const track::PointPosition& p = Liste_points.position(Bt_avance->Position());
  Plan.Centre_lon = p.lon;
  Plan.Centre_lat = p.lat;
}

int TTrace::Pas_rapide() const { return static_cast<int>(Liste_points.size() / 750 + 1); }

void TTrace::quick_redraw(bool sur_curseur) {
  Trace_preci->stop();
  Redessiner(Pas_rapide(), sur_curseur);
  Trace_preci->start();
}

void TTrace::Bt_zoomClick() {
  if (!track_shown()) return;
  Centrer_sur_curseur();
  quick_redraw(true);
}

void TTrace::Bt_centrerClick() {
  Centrer_sur_curseur();
  Redessiner(1, true);
}

void TTrace::Bt_centrer_debutClick() {
  Bt_avance->SetPosition(0);
  Placer_curseur(0, true);
  Centrer_sur_curseur();
  Redessiner(1, true);
}

void TTrace::Bt_centrer_finClick() {
  Bt_avance->SetPosition(Bt_avance->Max());
  Placer_curseur(Bt_avance->Max(), true);
  Centrer_sur_curseur();
  Redessiner(1, true);
}

void TTrace::pan(viewer::Pan direction) {
  if (!viewer::Deplacer(Plan, direction)) return;
  quick_redraw(false);
}

void TTrace::Bt_hautClick() { pan(viewer::Pan::North); }
void TTrace::Bt_basClick() { pan(viewer::Pan::South); }
void TTrace::Bt_droiteClick() { pan(viewer::Pan::East); }
void TTrace::Bt_gaucheClick() { pan(viewer::Pan::West); }

void TTrace::ImageMouseDown(int x, int y) {
  const std::vector<viewer::Pan> pans = viewer::edge_click_pans(x, y, Plan.width, Plan.height);
  for (viewer::Pan direction : pans) pan(direction);
  // A press that panned keeps its meaning alone; any other may pick or drag.
  press_.reset();
  if (pans.empty() && track_shown()) press_ = Press{{x, y}, viewer::position_at(Plan, x + 0.5, y + 0.5)};
}

void TTrace::FormMouseMove() {
  if (cursor().shape() != Qt::ArrowCursor) setCursor(Qt::ArrowCursor);
}

void TTrace::mouseMoveEvent(QMouseEvent* event) {
  FormMouseMove();
  QWidget::mouseMoveEvent(event);
}

void TTrace::Redessiner(int pas, bool sur_curseur) {
  if (sur_curseur) {
    const track::PointPosition& cursor = Liste_points.position(Bt_avance->Position());
    Calcul_echelle(cursor.lat_degres(), cursor.lat_minutes());
  } else {
    const viewer::Coordonnees centre = viewer::Vers_coordonnees(Plan, Plan.half_width(), Plan.half_height());
    Calcul_echelle(std::abs(centre.lat_degres), std::abs(centre.lat_minutes));
  }
  redraw_view(pas);
  Placer_curseur(Bt_avance->Position(), sur_curseur);
}

void TTrace::Trace_preciTimer() {
  Trace_preci->stop();
  if (track_shown()) Redessiner(1, !Curseur->isHidden());
}

void TTrace::Placer_curseur(int position, bool recentrer) {
  const track::PointPosition& p = Liste_points.position(static_cast<std::size_t>(position));
  const viewer::PixelPosition pixel = viewer::Vers_pixel(Plan, p.lat, p.lon);
  if (pixel.visible) Curseur->move(kImageLeft + pixel.x - 9 / 2, kImageTop + pixel.y - 9 / 2);
  Curseur->setVisible(pixel.visible);
  if (!pixel.visible && recentrer) {
    Centrer_sur_curseur();
    Trace_preci->stop();
    Redessiner(Pas_rapide(), true);
  }
  const std::optional<track::Struct_ligne_donnees> r = Liste_points[static_cast<std::size_t>(position)];
  Aff_date->setText(QString::fromStdU16String(common::from_cp1252(viewer::record_date_text(r))));
  Aff_lignes->setText(QString::fromStdU16String(common::from_cp1252(viewer::record_position_text(r))));
  Aff_nb_ligne_courante->setText(QString::number(position));
  if (Profil->isVisible()) Profil->show_cursor(static_cast<std::size_t>(position));
  const double distance = Liste_points.Distance_cumulee(static_cast<std::size_t>(position));
  Aff_longueur_deb_curs->setText(QString::fromStdString(track::Format_distance(track::whole_metres(distance))));
  Aff_longueur_curs_fin->setText(
      QString::fromStdString(track::Format_distance(track::whole_metres(Longueur_totale - distance))));
}

void TTrace::Bt_avanceChangingEx() {
  Bt_avance->SetIncrement(Bt_avance->Increment() + 1);
  Placer_curseur(Bt_avance->Position(), true);
}

void TTrace::Bt_avanceMouseUp() {
  Bt_avance->SetIncrement(1);
  Trace_preci->start();
}

void TTrace::ImageMouseMove(int x, int y, Qt::MouseButtons buttons) {
  switch (viewer::edge_pointer(x, y, Plan.width, Plan.height)) {
    case viewer::EdgePointer::Horizontal:
      setCursor(Qt::SizeHorCursor);
      break;
    case viewer::EdgePointer::Vertical:
      setCursor(Qt::SizeVerCursor);
      break;
    case viewer::EdgePointer::Normal:
      setCursor(Qt::ArrowCursor);
      break;
  }
  if (buttons & Qt::LeftButton) {
    Aff_coord1->hide();
    Aff_coord2->hide();
    if (press_ && track_shown()) {
      press_->dragging = press_->dragging || (QPoint(x, y) - press_->at).manhattanLength() > kClickSlack;
      if (press_->dragging) {
        viewer::put_under(Plan, press_->grabbed, x + 0.5, y + 0.5);
        show_moved_view();
      }
    }
    return;
  }
  place_readouts(x, y);
}

// Shown only once written and placed: shown first, they would flash empty
// where they last were (at the window's top-left corner before any move).
void TTrace::place_readouts(int x, int y) {
  const viewer::Coordonnees c = viewer::Vers_coordonnees(Plan, x, Plan.height - y);
  if (c.valide) {
    Aff_coord1->setText(QString::fromStdU16String(common::from_cp1252(viewer::latitude_readout(c))));
    Aff_coord2->setText(QString::fromStdU16String(common::from_cp1252(viewer::longitude_readout(c))));
  }
  const viewer::ReadoutPlacement place = viewer::readout_placement(x, y, Aff_coord1->height());
  Aff_coord1->move(place.left, place.top1);
  Aff_coord2->move(place.left, place.top2);
  Aff_coord1->setVisible(c.valide);
  Aff_coord2->setVisible(c.valide);
}

void TTrace::ImageMouseEnter(int x, int y) {
  if (Image->isEnabled()) place_readouts(x, y);
}

void TTrace::ImageMouseLeave() {
  Aff_coord1->hide();
  Aff_coord2->hide();
  // Leaving the drawing onto a control would otherwise keep an edge pointer.
  FormMouseMove();
}
