// Every caption of every window shows whole with the fonts the set-up
// installs: each text's width, measured with its widget's font, against the
// room its widget gives it.
#include "acquisition/ui/affichage.h"
#include "shell/ui/config_dialog.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"
#include "windows_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOption>

namespace {

// A caption as drawn: "&" marks the access key and takes no room.
QString shown(const QString& caption) {
  QString text = caption;
  return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

// The room a widget leaves its text, and the width the text needs; empty
// when the widget shows no caption of its own.
struct Fit {
  int needed = 0;
  int room = 0;
};

std::optional<Fit> fit_of(QWidget* w) {
  if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->text().isEmpty()) return std::nullopt;
    return Fit{label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width()};
  }
  if (auto* box = qobject_cast<QCheckBox*>(w)) {
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect contents = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    return Fit{box->fontMetrics().horizontalAdvance(shown(box->text())), contents.width()};
  }
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    if (button->text().isEmpty()) return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return Fit{button->fontMetrics().horizontalAdvance(shown(button->text())) + icon, contents.width()};
  }
  if (auto* group = qobject_cast<QGroupBox*>(w)) {
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    return Fit{title.right() + 1, group->width()};
  }
  return std::nullopt;
}

// Every entry of a drop-down list, against its text field.
void expect_entries_fit(QComboBox* list, const QString& window) {
  QStyleOptionComboBox option;
  option.initFrom(list);
  const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
  for (int i = 0; i < list->count(); ++i) {
    EXPECT_LE(list->fontMetrics().horizontalAdvance(list->itemText(i)), field.width())
        << window.toStdString() << ": entry \"" << list->itemText(i).toStdString() << "\" of "
        << list->objectName().toStdString();
  }
}

void expect_captions_fit(QWidget* window, const QString& name) {
  // A font of its own: with the platform's default font the window would
  // look different on every desktop.
  EXPECT_TRUE(window->testAttribute(Qt::WA_SetFont)) << name.toStdString() << " has no font of its own";
  window->ensurePolished();
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (auto* list = qobject_cast<QComboBox*>(w)) {
      expect_entries_fit(list, name);
      continue;
    }
    const std::optional<Fit> fit = fit_of(w);
    if (!fit) continue;
    const QString text = qobject_cast<QLabel*>(w)            ? qobject_cast<QLabel*>(w)->text()
                         : qobject_cast<QAbstractButton*>(w) ? qobject_cast<QAbstractButton*>(w)->text()
                                                             : qobject_cast<QGroupBox*>(w)->title();
    EXPECT_LE(fit->needed, fit->room) << name.toStdString() << ": \"" << text.toStdString() << "\" needs "
                                      << fit->needed << " px, has " << fit->room;
  }
}

class WindowCaptions : public WindowsTest {};

}  // namespace

// The families the windows ask for are served by the set-up's fonts, not by
// whatever else the machine has: otherwise every width measured here means
// nothing for the user.
TEST_F(WindowCaptions, TheClassicFamiliesAreServedByTheFontsOfTheSetUp) {
  const std::pair<const char*, const char*> families[] = {{"MS Sans Serif", "Liberation Sans"},
                                                          {"Comic Sans MS", "Comic Neue"},
                                                          {"Courier New", "Liberation Mono"},
                                                          {"Arial Narrow", "Liberation Sans Narrow"}};
  for (const auto& [asked, served] : families) {
    EXPECT_EQ(QFontInfo(QFont(asked)).family(), served) << asked;
  }
}

// The widest text each value field takes in use, then every caption and
// entry of the four windows.
TEST_F(WindowCaptions, EveryCaptionShowsWhole) {
  Affichage->Aff_delais->setText("23 h 59 min 59 sec");
  Affichage->Aff_delais_ecri->setText("86400 sec");
  Config->Aff_delais->setText("23 h 59 min 59 sec");
  for (const char* banner : {" VEILLE", "ALARME", " alarme", "   OK."}) {
    Affichage->Alarme->setText(banner);
    expect_captions_fit(Affichage, QString("main window, banner \"%1\"").arg(banner));
  }
  Affichage->Bt_acquiter->setText("Alarme muette!");
  expect_captions_fit(Affichage, "main window");
  expect_captions_fit(Config, "dialog");

  // Tracks of millions of records: seven digits.
  Trace->Aff_nb_ligne_courante->setText("9999999");
  Trace->Aff_nb_lignes_total->setText("9999999");
  for (QLabel* distance : {Trace->Aff_longueur_tot, Trace->Aff_longueur_deb_curs, Trace->Aff_longueur_curs_fin}) {
    distance->setText("99999 Km");
  }
  Trace->Aff_date->setText("23/03/2094   12:35:19");
  Trace->Aff_lignes->setText(QString::fromUtf8("48° 07' 0380\"N    011° 31' 0000\"E"));
  Trace->Aff_coord1->setText(QString::fromUtf8("90° 59' 999\" N"));
  Trace->Aff_coord2->setText(QString::fromUtf8("180° 59' 999\" E"));
  expect_captions_fit(Trace, "viewer");
  for (int zoom = 0; zoom < Trace->Bt_zoom->count(); ++zoom) {
    Trace->Bt_zoom->setCurrentIndex(zoom);
    Trace->Calcul_echelle(45, 0);
    expect_captions_fit(Trace, QString("viewer, scale bar at %1").arg(Trace->Bt_zoom->currentText()));
  }
  expect_captions_fit(Calcul, "progress window");
}
