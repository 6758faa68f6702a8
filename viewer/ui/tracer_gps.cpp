// The viewer window's controls, laid out at fixed positions, and the wiring of
// their events to the handlers.
#include "viewer/ui/tracer_gps.h"

#include "viewer/ui/file_dialogs.h"
#include "viewer/ui/map_under_track.h"
#include "viewer/ui/plan_image.h"
#include "viewer/ui/speed_profile_view.h"
#include "viewer/ui/up_down.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

// The pictures are compiled into the static library, whose linker drops the
// resource object unless something refers to it.
static void register_arrow_images() { Q_INIT_RESOURCE(arrows); }

namespace {

const QSize kSeedSize(722, 698);
// The speed profile's height under the plan, taken from the plan.
constexpr int kProfileHeight = 150;

QFont font_of(const char* family, int pixels, bool bold = false) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, const QFont* font = nullptr,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* l = new QLabel(text, parent);
  l->setGeometry(geometry);
  l->setAlignment(alignment);
  if (font) l->setFont(*font);
  return l;
}

QPushButton* button(QWidget* parent, const char* caption, const QRect& geometry, const char* hint) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setGeometry(geometry);
  b->setToolTip(QString::fromUtf8(hint));
  return b;
}

QFrame* panel(QWidget* parent, const QRect& geometry) {
  auto* p = new QFrame(parent);
  p->setFrameShape(QFrame::Panel);
  p->setFrameShadow(QFrame::Raised);
  p->setGeometry(geometry);
  return p;
}

// A scale bar box: outlined, filled white or left open.
QFrame* scale_box(QWidget* parent, int index) {
  auto* box = new QFrame(parent);
  box->setGeometry(487 + 36 * index, 14, 36, 9);
  box->setStyleSheet(index % 2 == 0 ? "background: white; border: 1px solid black;"
                                    : "background: transparent; border: 1px solid black;");
  return box;
}

QPixmap red_disc() {
  QPixmap disc(9, 9);
  disc.fill(Qt::transparent);
  QPainter painter(&disc);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 0, 0));
  painter.drawEllipse(0, 0, 9, 9);
  return disc;
}

}  // namespace

TTrace::TTrace(const shell::Settings& settings, TCalcul* progress, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      settings_(settings),
      progress_(progress) {
  setWindowTitle(QString::fromUtf8("Orvanta : Tracé GP"));
  // Smaller, the controls under the plan would run into each other.
  setMinimumSize(kSeedSize);
  resize(kSeedSize);
  setFont(font_of("MS Sans Serif", 11));
  setMouseTracking(true);
  setAcceptDrops(true);

  build_top_row();
  build_plan();
  build_record_panel();
  build_pan_pad();
  build_reload_panel();
  build_centring_panel();
  Bt_exporter = button(this, "&Exporter l'image au format JPEG", QRect(522, 669, 196, 25),
                       "Exporter l'image entière dessinée à l'échelle du zoom courant (*.jpg)");

  remember_anchors();

  Timer_trace = new QTimer(this);
  Timer_trace->setInterval(1000);
  Trace_preci = new QTimer(this);
  Trace_preci->setInterval(250);

  Ouvrir = [this]() {
    const QFileInfo current(Chemin_fichier_a_tracer);
    return viewer::choose_track_file(this, current.isAbsolute() ? current.absolutePath() : QDir::homePath());
  };
  Sauver = [this]() { return viewer::choose_jpeg_file(this, QDir::homePath(), QString::fromUtf8("Tracé.jpg")); };
  Ouvrir_carte = [this]() { return viewer::choose_mbtiles_file(this, QDir::homePath()); };
  Demander_serveur = [this]() -> std::optional<QString> {
    bool ok = false;
    const QString given = QInputDialog::getText(
        this, "Orvanta", QString::fromUtf8("Modèle d'URL des tuiles ({z}, {x}, {y}, {s}) :"), QLineEdit::Normal,
        map_source_.url_template.isEmpty() ? QString::fromUtf8(viewer::map::kOpenStreetMapTemplate)
                                           : map_source_.url_template,
        &ok);
    if (!ok) return std::nullopt;
    return given.trimmed();
  };
  map_redraw_ = new QTimer(this);
  map_redraw_->setSingleShot(true);
  map_redraw_->setInterval(0);
  Message = [this](QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, "Orvanta", text, QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
  };
  connect_handlers();
}

void TTrace::build_top_row() {
  Aff_chemain_fichier_a_tracer = new QLineEdit(this);
  Aff_chemain_fichier_a_tracer->setGeometry(6, 10, 305, 21);
  Aff_chemain_fichier_a_tracer->setReadOnly(true);
  Aff_chemain_fichier_a_tracer->setToolTip(QString::fromUtf8("Chemain du fichier GPS à tracer"));
  Bt_repertoire = button(this, "...", QRect(314, 10, 25, 21), "Chemain du fichier GPS");
  Bt_tout_le_trace = button(this, "&Tout le tracé", QRect(344, 9, 86, 23), "Montre tout le tracé (F)");

  Label_echelle = label(this, "Echelle :", QRect(436, 12, 48, 13));
  Shape1 = scale_box(this, 0);
  Shape2 = scale_box(this, 1);
  Shape3 = scale_box(this, 2);
  Shape4 = scale_box(this, 3);
  Shape5 = scale_box(this, 4);
  const QFont narrow = font_of("Arial Narrow", 11);
  Label_zero = label(this, "0", QRect(485, 24, 10, 13), &narrow);
  QLabel** labels[] = {&Aff_echelle1, &Aff_echelle2, &Aff_echelle3, &Aff_echelle4, &Aff_echelle5};
  const int lefts[] = {514, 547, 578, 610, 642};
  for (int k = 0; k < 5; ++k) {
    // Odd boxes are labelled above the bar, even ones under it.
    *labels[k] = label(this, "", QRect(lefts[k], k % 2 == 0 ? 1 : 24, 60, 13), &narrow);
  }
}

void TTrace::build_plan() {
  Panneau = panel(this, QRect(0, 40, 721, 546));
  Image = new TPlanImage(Panneau);
  Image->move(kImageLeft, kImageTop - 40);
  Profil = new TProfilVitesse(Panneau);
  Profil->hide();

  // Laid over the drawing, never part of it: the export leaves them out.
  Curseur = new QLabel(this);
  Curseur->setPixmap(red_disc());
  Curseur->setGeometry(0, 0, 9, 9);
  Curseur->setAttribute(Qt::WA_TransparentForMouseEvents);
  Curseur->hide();
  Aff_carte = new QLabel(this);
  Aff_carte->move(kImageLeft + 40, kImageTop + 2);
  Aff_carte->setStyleSheet("background: rgb(255, 255, 225); color: black; padding: 1px 3px;");
  Aff_carte->setAttribute(Qt::WA_TransparentForMouseEvents);
  Aff_carte->hide();
  const QFont courier = font_of("Courier New", 12);
  for (QLabel** readout : {&Aff_coord1, &Aff_coord2}) {
    *readout = new QLabel(this);
    (*readout)->setGeometry(0, 0, 113, 17);
    (*readout)->setFont(courier);
    (*readout)->setAutoFillBackground(true);
    QPalette palette = (*readout)->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 225));
    palette.setColor(QPalette::WindowText, Qt::black);
    (*readout)->setPalette(palette);
    (*readout)->setAttribute(Qt::WA_TransparentForMouseEvents);
    (*readout)->hide();
  }
}

void TTrace::build_record_panel() {
  Panel_enregistrement = panel(this, QRect(0, 588, 364, 110));
  QWidget* p = Panel_enregistrement;
  const auto right = Qt::AlignRight | Qt::AlignVCenter;
  const QFont date_font = font_of("Courier New", 21);
  Aff_date = label(p, "--/--/----    --:--:--", QRect(4, 4, 312, 24), &date_font, right);
  const QFont position_font = font_of("Courier New", 15);
  Aff_lignes =
      label(p, QString::fromUtf8("--° --' ----\"-    ---° --' ----\"-"), QRect(4, 30, 312, 18), &position_font, right);

  // Captions of one width in a fixed-pitch font, so their colons line up.
  const QFont counter_font = font_of("Courier New", 13);
  const QFont narrow = font_of("Arial Narrow", 13);
  const char* captions[] = {"Longeur totale  :", "Début -> curseur:", "Curseur -> fin  :"};
  QLabel** values[] = {&Aff_longueur_tot, &Aff_longueur_deb_curs, &Aff_longueur_curs_fin};
  for (int i = 0; i < 3; ++i) {
    label(p, QString::fromUtf8(captions[i]), QRect(4, 54 + 18 * i, 140, 16), &counter_font);
    // The first row shares its line with the record counter; from just past
    // the captions' colons, it holds seven digits and the unit ("4993111 Km").
    *values[i] = label(p, "--", QRect(139, 54 + 18 * i, i == 0 ? 60 : 80, 16), &narrow);
  }
  // Room for seven digits on either side of the "/": tracks of millions of
  // records.
  Aff_nb_ligne_courante = label(p, "--", QRect(199, 54, 56, 16), &counter_font, right);
  Aff_nb_ligne_courante->setToolTip(QString::fromUtf8("Numéro d'enregistrement courant"));
  label(p, "/", QRect(255, 54, 8, 16), &counter_font);
  Aff_nb_lignes_total = label(p, "--", QRect(263, 54, 56, 16), &counter_font);
  Aff_nb_lignes_total->setToolTip("Nombre total d'enregistrements");

  // The views added to the plan, in one menu: the panel has room for one
  // more control; each has its key on the plan.
  Bt_affichage = new QToolButton(p);
  Bt_affichage->setText("&Affichage");
  Bt_affichage->setGeometry(232, 78, 84, 26);
  Bt_affichage->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(Bt_affichage);
  Action_couleur_vitesse = menu->addAction(QString::fromUtf8("Couleur selon la vitesse\tV"));
  Action_couleur_vitesse->setCheckable(true);
  Action_profil = menu->addAction(QString::fromUtf8("Profil de vitesse\tP"));
  Action_profil->setCheckable(true);
  Action_profil_distance = menu->addAction(QString::fromUtf8("Profil selon la distance\tD"));
  Action_profil_distance->setCheckable(true);
  Action_statistiques = menu->addAction(QString::fromUtf8("Statistiques (repères A et B)...\tS"));
  build_map_menu(menu->addMenu("Carte"));
  Bt_affichage->setMenu(menu);

  Bt_avance = new TUpDown(p);
  Bt_avance->setGeometry(319, 5, 41, 99);
  Bt_avance->setCursor(Qt::SizeVerCursor);
  Bt_avance->setToolTip(QString::fromUtf8("Fait défiler les enregistrement des positions"));
}

void TTrace::build_map_menu(QMenu* menu) {
  Carte = new QActionGroup(this);
  const char* captions[] = {"Aucune", "OpenStreetMap", "Autre serveur...", "Fichier MBTiles..."};
  for (int i = 0; i < 4; ++i) {
    QAction* action = menu->addAction(QString::fromUtf8(captions[i]));
    action->setCheckable(true);
    action->setChecked(i == 0);
    Carte->addAction(action);
    connect(action, &QAction::triggered, this, [this, i] { map_chosen(i); });
  }
}

void TTrace::build_pan_pad() {
  register_arrow_images();
  auto arrow = [this](const char* picture, int x, int y, const char* hint) {
    auto* b = button(this, "", QRect(x, y, 28, 24), hint);
    b->setIcon(QIcon(QString(":/") + picture));
    return b;
  };
  Bt_haut = arrow("ARROWUP", 430, 592, "Vers le nord");
  Bt_gauche = arrow("ARROWLEFT", 400, 616, "Vers l'ouest");
  Bt_droite = arrow("ARROWRIGHT", 460, 616, "Vers l'est");
  Bt_bas = arrow("ARROWDOWN", 430, 640, "Vers le sud");

  label(this, "Zoom:", QRect(378, 671, 36, 18));
  Bt_zoom = new QComboBox(this);
  Bt_zoom->setGeometry(416, 669, 96, 22);
  Bt_zoom->setEditable(false);
  Bt_zoom->setFont(font_of("MS Sans Serif", 11, true));
  for (const char* item : viewer::kZoomItems) Bt_zoom->addItem(item);
  Bt_zoom->setCurrentIndex(7);
}

TTrace::~TTrace() = default;

void TTrace::build_reload_panel() {
  Panel_maj = panel(this, QRect(522, 590, 196, 30));
  Bt_maj_on = new QCheckBox("MAJ auto.", Panel_maj);
  Bt_maj_on->setGeometry(5, 3, 72, 17);
  Bt_maj_on->setToolTip(QString::fromUtf8("Mise à jour automatique activée"));
  Bt_maj = new QSlider(Qt::Horizontal, Panel_maj);
  Bt_maj->setGeometry(80, 2, 110, 18);
  Bt_maj->setRange(5, 600);
  Bt_maj->setToolTip(QString::fromUtf8("Délais avant mise à jour (5 sec - 10 min)"));
  Aff_maj = new QProgressBar(Panel_maj);
  Aff_maj->setGeometry(5, 22, 186, 5);
  Aff_maj->setTextVisible(false);
  Aff_maj->setRange(0, Bt_maj->value());
  Aff_maj->setValue(0);
  Aff_maj->setToolTip(QString::fromUtf8("Délais avant prochaine mise à jour de l'affichage"));
}

void TTrace::build_centring_panel() {
  Panel_centrer = panel(this, QRect(522, 622, 196, 44));
  label(Panel_centrer, "Centrer (ou recadrer) sur la position...", QRect(5, 2, 186, 14));
  Bt_centrer = button(Panel_centrer, "&courante", QRect(5, 17, 50, 23), "Centre le tracé sur le curseur rouge");
  Bt_centrer_debut = button(Panel_centrer, "&du début", QRect(57, 17, 50, 23), "Centre le tracé sur le début du tracé");
  Bt_centrer_fin = button(Panel_centrer, "&la plus récente", QRect(109, 17, 83, 23),
                          "Centre le tracé sur la dernière position enregistrée");
}

void TTrace::remember_anchors() {
  constexpr int kBelowPlan = 586;
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->y() >= kBelowPlan) anchored_.push_back({w, w->pos(), w->x() >= Panel_maj->x()});
  }
}

void TTrace::lay_out_for_size() {
  const QSize grown = size() - kSeedSize;
  for (const Anchored& a : anchored_) a.widget->move(a.seed + QPoint(a.right ? grown.width() : 0, grown.height()));
  const int profile = Profil->isVisible() ? kProfileHeight : 0;
  const QSize plan = QSize(viewer::kPlanWidth, viewer::kPlanHeight - profile) + grown;
  Panneau->resize(QSize(721, 546) + grown);
  Profil->setGeometry(kImageLeft, kImageTop - 40 + plan.height() + 1, plan.width(), profile - 1);
  if (plan == Image->size()) return;
  Image->set_plan_size(plan);
  Plan.width = plan.width();
  Plan.height = plan.height();
  if (track_shown()) quick_redraw(false);
}

void TTrace::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible() && event->size() != event->oldSize()) size_chosen_ = true;
  lay_out_for_size();
}

void TTrace::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && isVisible()) size_chosen_ = true;
}

std::optional<TTrace::WindowSize> TTrace::chosen_size() const {
  if (!size_chosen_) return std::nullopt;
  return WindowSize{isMaximized() ? normalGeometry().size() : size(), isMaximized()};
}

void TTrace::restore_size(const WindowSize& size) {
  resize(size.normal.expandedTo(kSeedSize));
  setWindowState(size.maximised ? Qt::WindowMaximized : Qt::WindowNoState);
  size_chosen_ = true;
}

void TTrace::connect_handlers() {
  connect(Bt_repertoire, &QPushButton::clicked, this, [this] { Bt_repertoireClick(); });
  connect(Bt_zoom, &QComboBox::activated, this, [this] { Bt_zoomClick(); });
  connect(Bt_centrer, &QPushButton::clicked, this, [this] { Bt_centrerClick(); });
  connect(Bt_centrer_debut, &QPushButton::clicked, this, [this] { Bt_centrer_debutClick(); });
  connect(Bt_centrer_fin, &QPushButton::clicked, this, [this] { Bt_centrer_finClick(); });
  connect(Bt_haut, &QPushButton::clicked, this, [this] { Bt_hautClick(); });
  connect(Bt_bas, &QPushButton::clicked, this, [this] { Bt_basClick(); });
  connect(Bt_droite, &QPushButton::clicked, this, [this] { Bt_droiteClick(); });
  connect(Bt_gauche, &QPushButton::clicked, this, [this] { Bt_gaucheClick(); });
  // Toggled, not clicked: restoring the setting at start-up runs it too.
  connect(Bt_maj_on, &QCheckBox::toggled, this, [this] { Bt_maj_onClick(); });
  connect(Bt_exporter, &QPushButton::clicked, this, [this] { Bt_exporterClick(); });
  connect(Timer_trace, &QTimer::timeout, this, [this] { Timer_traceTimer(); });
  connect(Trace_preci, &QTimer::timeout, this, [this] { Trace_preciTimer(); });
  connect(map_redraw_, &QTimer::timeout, this, [this] { map_redraw_timeout(); });
  connect(Bt_tout_le_trace, &QPushButton::clicked, this, [this] { Bt_tout_le_traceClick(); });
  connect(Action_statistiques, &QAction::triggered, this, [this] { Bt_statistiquesClick(); });
  connect(Action_couleur_vitesse, &QAction::toggled, this, [this] { Bt_couleur_vitesseClick(); });
  connect(Action_profil, &QAction::toggled, this, [this] { Action_profilToggled(); });
  connect(Action_profil_distance, &QAction::toggled, this,
          [this](bool on) { Profil->set_axis(on ? viewer::ProfileAxis::Distance : viewer::ProfileAxis::Time); });
  Profil->OnRecordChosen = [this](std::size_t record) { go_to_record(static_cast<int>(record)); };
  Image->OnMouseDown = [this](int x, int y) { ImageMouseDown(x, y); };
  Image->OnMouseUp = [this](int x, int y) { ImageMouseUp(x, y); };
  Image->OnWheel = [this](int x, int y, int steps) { ImageWheel(x, y, steps); };
  Image->OnMouseMove = [this](int x, int y, Qt::MouseButtons buttons) { ImageMouseMove(x, y, buttons); };
  Image->OnMouseEnter = [this](int x, int y) { ImageMouseEnter(x, y); };
  Image->OnMouseLeave = [this] { ImageMouseLeave(); };
  Bt_avance->OnChangingEx = [this] { Bt_avanceChangingEx(); };
  Bt_avance->OnMouseUp = [this] { Bt_avanceMouseUp(); };
}
