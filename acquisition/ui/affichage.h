// The main window: shows the acquisition's state and forwards the user's
// clicks to it.
#pragma once

#include "acquisition/acquisition_controller.h"
#include "acquisition/ui/affichage_host.h"
#include "serial/ui/com_led.h"

#include <QWidget>
#include <exception>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;
class QTimer;

class TAffichage : public QWidget {
  Q_OBJECT
 public:
  TAffichage(acquisition::AcquisitionController& controller, AffichageHost& host, QWidget* parent = nullptr);
  ~TAffichage() override;

  // Handlers.
  void Timer_rafraichTimer();
  void BitBtn1Click();
  void Bt_traceClick();
  void Bt_acquiterClick();
  void Bt_connecterClick();
  void Bt_deconnecterClick();
  void FormShow();
  void FormClose();

  // Controls.
  QFrame* Panel_gauche;
  QFrame* Panel_droit;
  QFrame* Panel_alarme;
  QLabel* Aff_jour;
  QLabel* Aff_mois;
  QLabel* Aff_annee;
  QLabel* Aff_heure;
  QLabel* Aff_minute;
  QLabel* Aff_seconde;
  QLabel* Aff_lat_degres;
  QLabel* Aff_lat_minutes;
  QLabel* Aff_lat_miliemes;
  QLabel* Aff_lat_NS;
  QLabel* Aff_lon_degres;
  QLabel* Aff_lon_minutes;
  QLabel* Aff_lon_miliemes;
  QLabel* Aff_lon_EW;
  QLabel* Aff_vitesse;
  serial::TComLed* Led_com;
  serial::TComLed* Led_GPRMC;
  serial::TComLed* Led_verrou_gps;
  serial::TComLed* Led_trame;
  serial::TComLed* Led_fichier;
  serial::TComLed* Led_batterie;
  QLabel* Label_com;
  QLabel* Label_trame;
  QLabel* Label_gps;
  QLabel* Label_err;
  QLabel* Label_fich;
  QLabel* Label_bat;
  QLabel* Image_deco;
  QLabel* Label_int_mesu;
  QLabel* Aff_delais;
  QLabel* Label_del_ecri;
  QLabel* Aff_delais_ecri;
  QPushButton* BitBtn1;
  QPushButton* Bt_deconnecter = nullptr;
  QPushButton* Bt_connecter = nullptr;
  QPushButton* Bt_trace;
  QLabel* Alarme;
  // In the banner's place while the acquisition has something to say once.
  QLabel* Notice;
  QPushButton* Bt_acquiter;
  QTextEdit* texte;
  QTimer* Timer_rafraich;

  // The first show runs FormShow before the window exists on screen: the
  // position the settings hold is the frame's, and a window manager puts the
  // frame there only for a window placed before it is created. Once created,
  // Qt cannot know the frame until the window is on screen, and would put
  // the inside of the window there: each run a title bar lower.
  void setVisible(bool visible) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_fix_panel();
  void build_status_panel();
  // Shows the controller's state: fix, lamps, banner, countdown, alarm button.
  void show_state();
  void show_fix();
  void show_connection(bool open);
  void add_record(const QString& line);
  void show_hint(const QString& hint);
  void set_banner(const QString& text, const QColor& color);

  acquisition::AcquisitionController& controller_;
  AffichageHost& host_;
  bool shown_once_ = false;
  // What the first show had to tell, for the error box once the window shows.
  std::exception_ptr first_show_failure_;
};
