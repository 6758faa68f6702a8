// The track viewer window: loads a journal, plots it on the plan with its
// grid, walks through its records with a cursor, follows the journal while the
// logger writes it, and exports the drawing as a JPEG image. The handlers read
// the controls, call the viewer's logic and write the controls back.
#pragma once

#include "shell/settings.h"
#include "track/track_points.h"
#include "viewer/map/map_source.h"
#include "viewer/plan_geometry.h"
#include "viewer/plan_navigation.h"
#include "viewer/track_northings.h"
#include "viewer/ui/screen_centring.h"

#include <QMessageBox>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;
class TCalcul;
class TPlanImage;
class TStatistiques;
class TProfilVitesse;
class QAction;
class QActionGroup;
class QToolButton;
class MapUnderTrack;
class TUpDown;

// Seconds counted since the last reload attempt; kept across the window's
// closing and reopening, for the program's lifetime.
extern int Compteur_maj;

class TTrace : public QWidget {
  Q_OBJECT
 public:
  // A file chooser: the chosen path, or nothing when cancelled.
  using FileChooser = std::function<std::optional<QString>()>;
  // A modal message box with one OK button.
  using MessageBox = std::function<void(QMessageBox::Icon icon, const QString& text)>;

  // Where the drawing sits in the window.
  static constexpr int kImageLeft = 3;
  static constexpr int kImageTop = 44;

  // Draws the journal `settings` name, showing `progress` (if any) while it
  // reads a track.
  explicit TTrace(const shell::Settings& settings, TCalcul* progress = nullptr, QWidget* parent = nullptr);
  ~TTrace() override;

  // The viewer's own settings: shown once read, stored at the program's close.
  void show_settings();
  void store_settings(shell::Settings& settings) const;

  // The window's size as the user chose it, kept in the settings: nothing
  // until the user resizes or maximises the window (or a size is restored),
  // so that a settings file gains no keys of it before.
  struct WindowSize {
    QSize normal;  // when not maximised
    bool maximised = false;
  };
  std::optional<WindowSize> chosen_size() const;
  void restore_size(const WindowSize& size);

  // Loading and the two states of the controls.
  int Charger_fichier(const QString& path);
  void Activer_controles();
  void Desactiver_controles();
  void Bt_repertoireClick();

  // Scale, zoom and panning.
  void Calcul_echelle(int32_t degres, int32_t minutes);
  void Centrer_sur_curseur();
  int Pas_rapide() const;
  void Bt_zoomClick();
  void Bt_centrerClick();
  void Bt_centrer_debutClick();
  void Bt_centrer_finClick();
  void Bt_hautClick();
  void Bt_basClick();
  void Bt_droiteClick();
  void Bt_gaucheClick();
  void ImageMouseDown(int x, int y);
  void FormMouseMove();

  // Exploring with the mouse and the keys: a wheel step zooms one item of
  // the list keeping the place under the pointer there; a drag moves the
  // plan; a click near the track picks its nearest record; "whole track"
  // shows all of it at the largest zoom that holds it.
  void ImageMouseUp(int x, int y);
  void ImageWheel(int x, int y, int steps);
  void Bt_tout_le_traceClick();
  // The track to show, whole, instead of the journal at the next showing (the
  // command line's); a file dropped on the window opens at once.
  void open_on_first_show(const QString& path) { start_file_ = path; }
  void go_to_record(int position);

  // Statistics of the whole track and between markers A and B, which keys A
  // and B put on the cursor record.
  void Bt_statistiquesClick();
  void set_marker(int which);

  // Drawing.
  void Redessiner(int pas, bool sur_curseur);
  void Trace_preciTimer();

  // Record cursor and the read-out under the pointer.
  void Placer_curseur(int position, bool recentrer);
  void Bt_avanceChangingEx();
  void Bt_avanceMouseUp();
  void ImageMouseMove(int x, int y, Qt::MouseButtons buttons);
  void ImageMouseEnter(int x, int y);
  void ImageMouseLeave();

  // Showing, closing, automatic reload and export.
  void FormShow();
  void FormClose();
  void Bt_maj_onClick();
  void Timer_traceTimer();
  void Bt_exporterClick();

  // The map under the track: none (the plain plan), a tile server by its
  // URL template, or an MBTiles file; remembered in the settings once chosen.
  void use_map(const viewer::map::MapSource& source);
  const viewer::map::MapSource& map_source() const { return map_source_; }
  MapUnderTrack* map() const { return map_.get(); }

  // Controls.
  QLineEdit* Aff_chemain_fichier_a_tracer;
  QPushButton* Bt_repertoire;
  QLabel* Label_echelle;
  QFrame* Shape1;
  QFrame* Shape2;
  QFrame* Shape3;
  QFrame* Shape4;
  QFrame* Shape5;
  QLabel* Label_zero;
  QLabel* Aff_echelle1;
  QLabel* Aff_echelle2;
  QLabel* Aff_echelle3;
  QLabel* Aff_echelle4;
  QLabel* Aff_echelle5;
  QFrame* Panneau;
  TPlanImage* Image;
  QLabel* Curseur;
  QLabel* Aff_coord1;
  QLabel* Aff_coord2;
  QFrame* Panel_enregistrement;
  QLabel* Aff_date;
  QLabel* Aff_lignes;
  QLabel* Aff_nb_ligne_courante;
  QLabel* Aff_nb_lignes_total;
  QLabel* Aff_longueur_tot;
  QLabel* Aff_longueur_deb_curs;
  QLabel* Aff_longueur_curs_fin;
  TUpDown* Bt_avance;
  QPushButton* Bt_haut;
  QPushButton* Bt_bas;
  QPushButton* Bt_droite;
  QPushButton* Bt_gauche;
  QComboBox* Bt_zoom;
  QFrame* Panel_maj;
  QCheckBox* Bt_maj_on;
  QSlider* Bt_maj;
  QProgressBar* Aff_maj;
  QFrame* Panel_centrer;
  QPushButton* Bt_centrer;
  QPushButton* Bt_centrer_debut;
  QPushButton* Bt_centrer_fin;
  QPushButton* Bt_exporter;
  QPushButton* Bt_tout_le_trace;
  QToolButton* Bt_affichage;
  QAction* Action_couleur_vitesse;
  QAction* Action_profil;
  QAction* Action_profil_distance;
  QAction* Action_statistiques;
  QActionGroup* Carte;  // Aucune, OpenStreetMap, Autre serveur..., Fichier MBTiles...
  QLabel* Aff_carte;    // the map's one quiet line when it is offline or unreadable
  TProfilVitesse* Profil;
  TStatistiques* Statistiques = nullptr;  // made when first asked for
  QTimer* Timer_trace;
  QTimer* Trace_preci;

  // The open and save dialogs and the message boxes; tests replace them.
  FileChooser Ouvrir;
  FileChooser Sauver;
  FileChooser Ouvrir_carte;      // an MBTiles file
  FileChooser Demander_serveur;  // a URL template
  MessageBox Message;

  // State.
  track::TrackPoints Liste_points;
  QString Chemin_fichier_a_tracer;
  double Longueur_totale = 0;  // metres
  viewer::PlanScale Plan;      // Facteur_zoom, Echelle_lat, Echelle_lon, Centre_lon, Centre_lat

  bool Chargement_en_cours() const { return loading_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void build_top_row();
  void build_plan();
  void build_record_panel();
  void build_pan_pad();
  void build_reload_panel();
  void build_centring_panel();
  void connect_handlers();
  // The controls under the plan keep their distance to the bottom edge, those
  // on the right to the right edge too; the plan takes the rest.
  void remember_anchors();
  void lay_out_for_size();

  // The stepper's range and the totals after a load that gave n > 0 points.
  void show_track_totals(int n);
  // Loads Chemin_fichier_a_tracer and shows its totals; a failed load drops
  // the window to the no-track state. False then.
  bool load_track();
  // Makes `path` the file plotted, readies the controls for it and loads it.
  bool open_track(const QString& path);
  bool track_shown() const;
  // Opens a file the user named; when it cannot be shown, the track shown
  // before stays, with its view, cursor and controls.
  void open_other_track(const QString& path);
  // Draws `view` as it stands, the cursor on record `cursor` (or the last).
  void show_view(const viewer::PlanScale& view, int cursor);
  // The drawing of the plan as it stands, without touching its scale.
  void redraw_view(int pas);
  // The read-out panels appear only while the pointer is over the drawing.
  void show_readouts_if_pointer_over_plan();
  // The pointer's coordinates beside it, or none where it is off the globe.
  void place_readouts(int x, int y);
  // The controls a load disables and re-enables.
  void set_loading_controls_enabled(bool enabled);
  // One pan step with the two-phase redraw; nothing at the end of the globe.
  void pan(viewer::Pan direction);
  // Quick redraw now, full redraw once the user pauses.
  void quick_redraw(bool sur_curseur);
  void set_counter_labels_to_dashes();
  void show_scale_bar();
  // The plan moved or zoomed by the mouse: a quick redraw as it stands now,
  // the full one once the user pauses.
  void show_moved_view();
  int zoom_index() const;

  const shell::Settings& settings_;
  TCalcul* progress_;
  struct Anchored {
    QWidget* widget;
    QPoint seed;  // its place at the window's first size
    bool right;
  };
  std::vector<Anchored> anchored_;
  // The press on the plan, while the left button is held, and the place it
  // grabbed; a press that moved further than a click is a drag.
  struct Press {
    QPoint at;
    viewer::PlanPosition grabbed;
    bool dragging = false;
  };
  std::optional<Press> press_;
  std::optional<std::size_t> markers_[2];
  // The track's top speed while it is coloured by speed.
  std::optional<double> speed_top_;
  void Bt_couleur_vitesseClick();
  void Action_profilToggled();
  // The statistics window follows the track and the markers while shown.
  void refresh_statistics();
  void build_map_menu(QMenu* menu);
  void map_chosen(int which);
  void show_map_status();
  void map_redraw_timeout();
  viewer::map::MapSource map_source_;
  bool map_chosen_ = false;  // by the user or the settings: the keys are written
  int32_t map_cache_mb_ = shell::Settings::ViewerMap{}.cache_mb;
  std::unique_ptr<MapUnderTrack> map_;
  viewer::TrackNorthings northings_;  // of Liste_points, while on a map
  QTimer* map_redraw_;                // the tiles that come together, drawn once
  int last_pas_ = 1;
  bool size_chosen_ = false;
  QString start_file_;
  bool loading_ = false;
  viewer::CentreOnFirstShow centre_once_;
};
