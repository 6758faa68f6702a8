#include "acquisition/ui/affichage.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <stdexcept>
#include <utility>

namespace {

QFont fix_font() {
  QFont f("Comic Sans MS");
  f.setPixelSize(21);
  f.setBold(true);
  return f;
}

// Places a row of labels left to right; each piece is sized for the widest text
// it is expected to hold, so later texts do not shift the row.
class Row {
 public:
  Row(QWidget* parent, int x, int y, const QFont& font) : parent_(parent), x_(x), y_(y), font_(font) {}

  QLabel* add(const QString& text, const QString& widest = {}) {
    auto* label = new QLabel(text, parent_);
    label->setTextFormat(Qt::PlainText);  // received characters shown as they stand
    label->setFont(font_);
    QFontMetrics fm(font_);
    int w = fm.horizontalAdvance(widest.isEmpty() ? text : widest) + 1;
    label->setGeometry(x_, y_, w, fm.height());
    // Right-aligned, a field narrower than its widest text sits against the
    // separator that follows it.
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    x_ += w;
    return label;
  }

 private:
  QWidget* parent_;
  int x_;
  int y_;
  QFont font_;
};

QFrame* panel(QWidget* parent, int x, int y, int w, int h) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Raised);
  frame->setGeometry(x, y, w, h);
  return frame;
}

}  // namespace

TAffichage::TAffichage(acquisition::AcquisitionController& controller, AffichageHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      controller_(controller),
      host_(host) {
  setWindowTitle("Orvanta   V1.0 - journal de bord GPS");
  setFixedSize(463, 327);
  QFont dialog_font("MS Sans Serif");
  dialog_font.setPixelSize(11);
  setFont(dialog_font);

  Panel_gauche = panel(this, 0, 1, 209, 234);
  Panel_droit = panel(this, 212, 1, 250, 166);
  build_fix_panel();
  build_status_panel();

  Panel_alarme = panel(this, 212, 170, 162, 65);
  Alarme = new QLabel(Panel_alarme);
  Alarme->setTextFormat(Qt::PlainText);
  Alarme->setGeometry(2, 2, 158, 61);
  QFont banner("Comic Sans MS");
  banner.setPixelSize(37);
  banner.setBold(true);
  Alarme->setFont(banner);
  set_banner(controller_.banner(), QColor(128, 128, 128));
  Notice = new QLabel(Panel_alarme);
  Notice->setTextFormat(Qt::PlainText);
  Notice->setGeometry(Alarme->geometry());
  Notice->setAlignment(Qt::AlignCenter);
  QFont notice_font = font();
  notice_font.setBold(true);
  Notice->setFont(notice_font);
  Notice->hide();

  Bt_acquiter = new QPushButton("????", this);
  Bt_acquiter->setGeometry(377, 170, 85, 65);

  texte = new QTextEdit(this);
  texte->setGeometry(0, 239, 462, 87);
  texte->setReadOnly(true);
  texte->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  texte->setLineWrapMode(QTextEdit::NoWrap);
  texte->setTabStopDistance(48);  // half-inch stops: a whole record fits the width

  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(Bt_trace, &QPushButton::clicked, this, [this] { Bt_traceClick(); });
  connect(Bt_acquiter, &QPushButton::clicked, this, [this] { Bt_acquiterClick(); });
  connect(Bt_connecter, &QPushButton::clicked, this, [this] { Bt_connecterClick(); });
  connect(Bt_deconnecter, &QPushButton::clicked, this, [this] { Bt_deconnecterClick(); });
  Led_com->SetComPort(&controller_.port());
  connect(&controller_, &acquisition::AcquisitionController::changed, this, [this] { show_state(); });
  connect(&controller_, &acquisition::AcquisitionController::connection_changed, this,
          [this](bool open) { show_connection(open); });
  connect(&controller_, &acquisition::AcquisitionController::record_added, this,
          [this](const QString& line) { add_record(line); });
  connect(&controller_, &acquisition::AcquisitionController::hint_given, this,
          [this](const QString& hint) { show_hint(hint); });

  Timer_rafraich = new QTimer(this);
  Timer_rafraich->setInterval(3000);
  connect(Timer_rafraich, &QTimer::timeout, this, [this] { Timer_rafraichTimer(); });
  Timer_rafraich->start();
}

TAffichage::~TAffichage() {
  // The port outlives this window: its lamp lets go of it first.
  Led_com->SetComPort(nullptr);
}

void TAffichage::build_fix_panel() {
  QWidget* p = Panel_gauche;
  const QFont f = fix_font();
  QFont heading_font = font();
  heading_font.setBold(true);
  auto* heading1 = new QLabel("Date & Heure", p);
  heading1->setFont(heading_font);
  heading1->setGeometry(8, 4, 190, 16);

  Row date(p, 12, 22, f);
  Aff_jour = date.add("??", "00");
  date.add(".");
  Aff_mois = date.add("??", "00");
  date.add(".");
  Aff_annee = date.add("????", "0000");

  Row time(p, 12, 52, f);
  Aff_heure = time.add("??", "00");
  time.add(":");
  Aff_minute = time.add("??", "00");
  time.add(":");
  Aff_seconde = time.add("??", "00");
  time.add(" GMT");

  auto* heading2 = new QLabel("Position & Vitesse sol", p);
  heading2->setFont(heading_font);
  heading2->setGeometry(8, 90, 190, 16);

  // Degrees ° minutes ' decimals " hemisphere.
  auto coordinate_row = [&](int y, const QString& degrees, QLabel*& deg, QLabel*& min, QLabel*& dec,
                            QLabel*& hemisphere) {
    Row row(p, 12, y, f);
    deg = row.add(degrees, QString(degrees.size(), '0'));
    row.add(QString::fromUtf8("°"));
    min = row.add("??", "00");
    row.add("'");
    dec = row.add("????", "0000");
    row.add("\"");
    hemisphere = row.add("?", "W");
  };
  coordinate_row(108, "??", Aff_lat_degres, Aff_lat_minutes, Aff_lat_miliemes, Aff_lat_NS);
  coordinate_row(140, "???", Aff_lon_degres, Aff_lon_minutes, Aff_lon_miliemes, Aff_lon_EW);

  Row speed(p, 12, 178, f);
  Aff_vitesse = speed.add("???.??", "???.??");
  speed.add("Nds", " Nds");
}

void TAffichage::build_status_panel() {
  QWidget* p = Panel_droit;
  struct LampRow {
    serial::TComLed*& led;
    QLabel*& label;
    serial::TLedKind kind;
    const char* caption;
  };
  const LampRow rows[] = {
      {Led_com, Label_com, serial::lkGreenLight, "Port COM activé"},
      {Led_GPRMC, Label_trame, serial::lkGreenLight, "Trame $GPRMC valide"},
      {Led_verrou_gps, Label_gps, serial::lkGreenLight, "Satellites GPS en vue"},
      {Led_trame, Label_err, serial::lkRedLight, "Erreur données liaison série"},
      {Led_fichier, Label_fich, serial::lkRedLight, "Erreur enregistrement fichier log"},
      {Led_batterie, Label_bat, serial::lkRedLight, "Batterie ordinateur inférieure à 30 %"},
  };
  int y = 2;
  for (const LampRow& row : rows) {
    row.led = new serial::TComLed(p);
    row.led->setGeometry(2, y, 25, 24);
    row.led->SetKind(row.kind);
    row.label = new QLabel(QString::fromUtf8(row.caption), p);
    row.label->setGeometry(28, y + 4, 200, 16);
    row.label->setEnabled(false);
    y += 19;
  }
  Label_bat->setEnabled(true);
  Led_GPRMC->SetLedSignal(serial::lsRx);
  Led_GPRMC->SetRingDuration(10000);

  Image_deco = new QLabel(p);
  Image_deco->setPixmap(QPixmap(":/DECO"));
  Image_deco->setScaledContents(true);
  Image_deco->setGeometry(214, 70, 32, 32);

  // The captions' column is as wide as the longer caption needs with the
  // dialog font's metrics.
  Label_int_mesu = new QLabel("Intervalle de mesure :", p);
  Label_int_mesu->setGeometry(4, 118, 143, 14);
  Aff_delais = new QLabel("0 h 0 min 0 sec", p);
  Aff_delais->setGeometry(149, 118, 97, 14);
  Label_del_ecri = new QLabel("Delais avant enregistrement :", p);
  Label_del_ecri->setGeometry(4, 132, 143, 14);
  Aff_delais_ecri = new QLabel("0 sec", p);
  Aff_delais_ecri->setGeometry(149, 132, 97, 14);
  for (QLabel* l : {Label_int_mesu, Aff_delais, Label_del_ecri, Aff_delais_ecri}) l->setEnabled(false);

  BitBtn1 = new QPushButton("Con&figuration", p);
  BitBtn1->setGeometry(2, 146, 84, 18);
  Bt_deconnecter = new QPushButton(QString::fromUtf8("&Déconnecter"), p);
  Bt_deconnecter->setGeometry(87, 146, 80, 18);
  Bt_deconnecter->setEnabled(false);
  Bt_deconnecter->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
  Bt_connecter = new QPushButton("&Connecter", p);
  Bt_connecter->setGeometry(168, 146, 80, 18);
  Bt_trace = new QPushButton("&Trace", p);
  Bt_trace->setGeometry(198, 2, 50, 20);
}

void TAffichage::BitBtn1Click() { host_.show_configuration(); }

void TAffichage::Bt_traceClick() { host_.show_track(); }

void TAffichage::Bt_acquiterClick() { controller_.toggle_alarm_mute(); }

void TAffichage::Bt_connecterClick() { controller_.connect_by_hand(); }

void TAffichage::Bt_deconnecterClick() { controller_.disconnect_by_hand(); }

void TAffichage::Timer_rafraichTimer() { controller_.run_cycle(); }

void TAffichage::setVisible(bool visible) {
  if (visible && !shown_once_) {
    shown_once_ = true;
    try {
      FormShow();
    } catch (...) {
      first_show_failure_ = std::current_exception();
    }
  }
  QWidget::setVisible(visible);
}

void TAffichage::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Thrown from the show's own handler, where the error box takes it.
  if (first_show_failure_) std::rethrow_exception(std::exchange(first_show_failure_, nullptr));
}

void TAffichage::FormShow() {
  const std::optional<std::string> refused = host_.load_settings();
  controller_.restart_countdown();
  controller_.arm_alarm();
  controller_.set_countdown(0);
  // Told once the window is ready, by the error box; the program goes on
  // with the defaults.
  if (refused) throw std::runtime_error(*refused);
}

void TAffichage::closeEvent(QCloseEvent* event) {
  // Stays refused unless the whole close sequence succeeds: a failed settings
  // save keeps the program running (the error box tells why).
  event->ignore();
  FormClose();
  event->accept();
  // The main window is the program: the dialog or the viewer left open must
  // not keep it running.
  QCoreApplication::quit();
}

void TAffichage::FormClose() {
  controller_.disconnect_by_hand();
  host_.save_settings();
}
