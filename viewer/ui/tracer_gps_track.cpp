// The viewer's track: loading with its messages, the two states of the
// controls, the window's showing and closing, the automatic reload and the
// export of the drawing.
#include "common/cp1252.h"
#include "track/import/track_file.h"
#include "track/track_distance.h"
#include "viewer/speed_colours.h"
#include "viewer/ui/jpeg_export.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/speed_profile_view.h"
#include "viewer/ui/tracer_gps.h"
#include "viewer/ui/up_down.h"
#include "viewer/viewer_log.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>
#include <utility>

int Compteur_maj = 0;

namespace {

void show_progress_window(TCalcul* window) {
  if (!window) return;
  window->ProgressBar1->setValue(0);
  viewer::centre_on_screen(window);
  window->show();
}

void hide_progress_window(TCalcul* window) {
  if (window) window->hide();
}

// The progress bar counts in int: a file beyond 2 GiB is counted in larger
// units than bytes.
class ProgressBarScale {
 public:
  ProgressBarScale(TCalcul* window, uint64_t size) : window_(window) {
    while ((size >> shift_) > static_cast<uint64_t>(INT32_MAX)) ++shift_;
    if (window_) window_->ProgressBar1->setRange(0, static_cast<int>(size >> shift_));
  }
  void at(uint64_t offset) const {
    if (window_) window_->ProgressBar1->setValue(static_cast<int>(offset >> shift_));
  }

 private:
  TCalcul* window_;
  int shift_ = 0;
};

}  // namespace

int TTrace::Charger_fichier(const QString& path) {
  // Events are processed while reading: a timer tick or a click must not
  // start a second load over the list this one is filling.
  loading_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{loading_};
  Trace_preci->stop();
  Liste_points.clear();
  northings_.forget();
  show_progress_window(progress_);
  set_loading_controls_enabled(false);

  // A failed load puts the progress window away, tells why and gives its code;
  // the controls stay disabled until the caller drops to the no-track state.
  // The progress window stays on top of every window: shown with the message,
  // it would hide it.
  auto failed = [this](QMessageBox::Icon icon, const std::string& text, int code) {
    hide_progress_window(progress_);
    Message(icon, QString::fromStdString(text));
    return code;
  };
  const std::string utf8_path = path.toStdString();
  const ProgressBarScale progress(progress_, static_cast<uint64_t>(std::max<qint64>(0, QFileInfo(path).size())));
  const track::OpenOutcome outcome =
      track::read_track_file(QFile::encodeName(path).toStdString(), Liste_points, [&progress](uint64_t offset) {
        progress.at(offset);
        QCoreApplication::processEvents();
      });
  // The scale follows the last point's latitude, as if set at every point.
  if (!Liste_points.empty()) {
    const track::PointPosition& last = Liste_points.position(Liste_points.size() - 1);
    Calcul_echelle(last.lat_degres(), last.lat_minutes());
  }
  using Kind = track::LoadOutcome::Kind;
  static constexpr const char* kOutcomes[] = {"loaded", "read failed", "faulty line", "nothing accepted"};
  qCDebug(viewer::viewer_log, "%s: %s after %lld lines, %zu points", utf8_path.c_str(),
          kOutcomes[static_cast<int>(outcome.kind)], static_cast<long long>(outcome.line), Liste_points.size());
  if (outcome.kind == Kind::CannotRead) return failed(QMessageBox::Critical, outcome.message, -1);
  if (outcome.kind == Kind::FaultyLine) return failed(QMessageBox::Critical, outcome.message, -2);
  Longueur_totale = Liste_points.Longueur_totale();
  hide_progress_window(progress_);
  set_loading_controls_enabled(true);
  show_readouts_if_pointer_over_plan();
  if (outcome.kind == Kind::Loaded) return static_cast<int>(Liste_points.size());
  Message(QMessageBox::Warning, QString::fromStdString(outcome.message));
  return -3;
}

void TTrace::set_loading_controls_enabled(bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{Bt_centrer, Bt_centrer_debut, Bt_centrer_fin, Bt_exporter,
                                                    Bt_tout_le_trace, Bt_affichage, Image, Bt_zoom, Bt_haut, Bt_bas,
                                                    Bt_droite, Bt_gauche, Bt_avance}) {
    w->setEnabled(enabled);
  }
  if (!enabled) {
    Aff_coord1->hide();
    Aff_coord2->hide();
  }
}

void TTrace::show_readouts_if_pointer_over_plan() {
  if (Image->isEnabled() && Image->underMouse()) {
    const QPoint at = Image->mapFromGlobal(QCursor::pos());
    place_readouts(at.x(), at.y());
  } else {
    Aff_coord1->hide();
    Aff_coord2->hide();
  }
}

void TTrace::set_counter_labels_to_dashes() {
  for (QLabel* l :
       {Aff_nb_lignes_total, Aff_nb_ligne_courante, Aff_longueur_tot, Aff_longueur_deb_curs, Aff_longueur_curs_fin}) {
    l->setText("--");
  }
}

void TTrace::Activer_controles() {
  Aff_chemain_fichier_a_tracer->setText(Chemin_fichier_a_tracer);
  set_loading_controls_enabled(true);
  show_readouts_if_pointer_over_plan();
  Bt_maj_on->setEnabled(true);
  if (Bt_maj_on->isChecked())
    Timer_trace->start();
  else
    Timer_trace->stop();
  Bt_avance->SetMax(0);
  Bt_avance->SetPosition(0);
  Bt_avance->SetIncrement(0);
  set_counter_labels_to_dashes();
}

void TTrace::Desactiver_controles() {
  Chemin_fichier_a_tracer.clear();
  set_loading_controls_enabled(false);
  Bt_maj_on->setEnabled(false);
  Timer_trace->stop();
  // A full redraw still pending would draw a track no longer shown.
  Trace_preci->stop();
  Curseur->hide();
  set_counter_labels_to_dashes();
}

bool TTrace::track_shown() const { return !loading_ && !Chemin_fichier_a_tracer.isEmpty() && !Liste_points.empty(); }

void TTrace::show_track_totals(int n) {
  markers_[0].reset();
  markers_[1].reset();
  speed_top_ = Action_couleur_vitesse->isChecked() ? viewer::top_speed_knots(Liste_points) : std::nullopt;
  Profil->set_track(Profil->isVisible() ? &Liste_points : nullptr);
  refresh_statistics();
  Bt_avance->SetMax(n - 1);
  Aff_nb_lignes_total->setText(QString::number(n - 1));
  Aff_longueur_tot->setText(QString::fromStdString(track::Format_distance(track::whole_metres(Longueur_totale))));
}

bool TTrace::load_track() {
  const int n = Charger_fichier(Chemin_fichier_a_tracer);
  if (n <= 0) {
    Desactiver_controles();
    return false;
  }
  show_track_totals(n);
  return true;
}

bool TTrace::open_track(const QString& path) {
  Chemin_fichier_a_tracer = path;
  Activer_controles();
  return load_track();
}

void TTrace::Bt_repertoireClick() {
  if (loading_) return;
  const std::optional<QString> chosen = Ouvrir();
  if (!chosen || !QFileInfo::exists(*chosen)) return;
  open_other_track(*chosen);
}

void TTrace::open_other_track(const QString& path) {
  // A file that turns out not to be a track must not cost the user the one
  // on screen: it is put aside during the load and comes back on failure.
  const bool shown = track_shown();
  track::TrackPoints before = std::move(Liste_points);
  const double length_before = Longueur_totale;
  const QString path_before = Chemin_fichier_a_tracer;
  const viewer::PlanScale view = Plan;
  const int cursor = Bt_avance->Position();
  if (open_track(path)) {
    Centrer_sur_curseur();
    Redessiner(1, true);
    return;
  }
  if (!shown) return;
  Liste_points = std::move(before);
  Longueur_totale = length_before;
  Chemin_fichier_a_tracer = path_before;
  Activer_controles();
  show_track_totals(static_cast<int>(Liste_points.size()));
  show_view(view, cursor);
}

void TTrace::show_view(const viewer::PlanScale& view, int cursor) {
  Plan = view;
  Bt_avance->SetPosition(std::min(cursor, Bt_avance->Max()));
  redraw_view(1);
  Placer_curseur(Bt_avance->Position(), false);
}

void TTrace::FormShow() {
  if (loading_) return;  // reopened while its own load still runs
  Plan.Facteur_zoom = 1.0f;
  Plan.Echelle_lat = 1.0f;
  if (!start_file_.isEmpty()) {
    const QString file = std::exchange(start_file_, QString());
    if (open_track(file)) Bt_tout_le_traceClick();
    return;
  }
  const QString journal = QString::fromStdU16String(common::from_cp1252(settings_.log_path_1));
  if (journal.isEmpty()) {
    Chemin_fichier_a_tracer.clear();
    Desactiver_controles();
    return;
  }
  if (!open_track(journal)) return;
  Centrer_sur_curseur();  // on the first point: the stepper is still at 0
  const int last = Bt_avance->Max();
  Bt_avance->SetPosition(last);
  Placer_curseur(last, true);
  Redessiner(1, true);
}

void TTrace::FormClose() { Timer_trace->stop(); }

void TTrace::show_settings() {
  // An index outside the list selects nothing.
  Bt_zoom->setCurrentIndex(settings_.zoom_index);
  Bt_maj->setValue(settings_.refresh_delay);
  Bt_maj_on->setChecked(settings_.auto_refresh);
  if (const auto& size = settings_.viewer_size) restore_size({QSize(size->width, size->height), size->maximised});
  if (const auto& map = settings_.viewer_map) {
    auto text = [](const std::string& bytes) { return QString::fromStdU16String(common::from_cp1252(bytes)); };
    using Kind = viewer::map::MapSource::Kind;
    const Kind kinds[] = {Kind::None, Kind::TileServer, Kind::MbTiles};
    map_chosen_ = true;
    map_cache_mb_ = map->cache_mb;
    use_map({kinds[map->kind], text(map->url_template), text(map->path), text(map->attribution)});
  }
}

void TTrace::store_settings(shell::Settings& settings) const {
  settings.zoom_index = Bt_zoom->currentIndex();
  settings.refresh_delay = Bt_maj->value();
  settings.auto_refresh = Bt_maj_on->isChecked();
  if (const std::optional<WindowSize> size = chosen_size())
    settings.viewer_size = shell::Settings::ViewerSize{size->normal.width(), size->normal.height(), size->maximised};
  if (!map_chosen_) return;
  // A text the settings file cannot hold leaves the map stored before.
  auto bytes = [](const QString& text) {
    std::optional<std::string> b = common::to_cp1252(text.toStdU16String());
    return b && b->find_first_of("\r\n") == std::string::npos ? b : std::nullopt;
  };
  const auto url = bytes(map_source_.url_template), path = bytes(map_source_.path);
  const auto attribution = bytes(map_source_.attribution);
  if (url && path && attribution)
    settings.viewer_map =
        shell::Settings::ViewerMap{static_cast<int32_t>(map_source_.kind), *url, *path, *attribution, map_cache_mb_};
}

void TTrace::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimised: not a new showing
  centre_once_(this);
  FormShow();
  // The keys that explore the plan go to it first.
  Image->setFocus();
}

void TTrace::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TTrace::Bt_maj_onClick() {
  if (Bt_maj_on->isChecked())
    Timer_trace->start();
  else
    Timer_trace->stop();
}

void TTrace::Timer_traceTimer() {
  if (loading_) return;
  ++Compteur_maj;
  Aff_maj->setMaximum(Bt_maj->value());
  Aff_maj->setValue(std::min(Compteur_maj, Bt_maj->value()));
  if (Compteur_maj < Bt_maj->value()) return;
  Compteur_maj = 0;
  if (!QFileInfo::exists(Chemin_fichier_a_tracer)) return;
  // Only a cursor on the newest record follows the journal; one the user
  // took back to an earlier record stays there, and so does the view.
  const bool following = Bt_avance->Position() >= Bt_avance->Max();
  const int cursor = Bt_avance->Position();
  const viewer::PlanScale view = Plan;
  if (!load_track()) return;
  if (following || cursor > Bt_avance->Max()) {
    Bt_centrer_finClick();
  } else {
    show_view(view, cursor);
  }
}

void TTrace::Bt_exporterClick() {
  const std::optional<QString> name = Sauver();
  if (!name || name->isEmpty()) return;
  std::string error;
  if (!viewer::write_jpeg(Image->Bitmap(), QFile::encodeName(*name).toStdString(), error)) {
    throw std::runtime_error("Impossible d'enregistrer l'image dans " + name->toStdString() + " : " + error);
  }
}
