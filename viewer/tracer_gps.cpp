#include "viewer/tracer_gps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>

TTrace::TTrace(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setWindowTitle(QString::fromUtf8("Orvanta : Tracé GP"));
  setFixedSize(722, 698);

  auto* zoom_label = new QLabel("Zoom:", this);
  zoom_label->setGeometry(380, 668, 40, 20);
  Bt_zoom = new QComboBox(this);
  Bt_zoom->setGeometry(420, 666, 90, 22);
  QFont bold = Bt_zoom->font();
  bold.setBold(true);
  Bt_zoom->setFont(bold);
  for (const char* item : {"1 %", "2,5 %", "5 %", "10 %", "20 %", "40 %", "60 %", "80 %", "100 %", "120 %",
                           "140 %", "160 %", "180 %", "200 %", "250 %", "300 %", "350 %", "400 %", "500 %",
                           "1000 %"}) {
    Bt_zoom->addItem(item);
  }
  Bt_zoom->setCurrentIndex(7);

  Bt_maj_on = new QCheckBox("MAJ auto.", this);
  Bt_maj_on->setGeometry(530, 560, 90, 20);
  Bt_maj_on->setToolTip(QString::fromUtf8("Mise à jour automatique activée"));
  Bt_maj = new QSlider(Qt::Horizontal, this);
  Bt_maj->setGeometry(530, 584, 180, 20);
  Bt_maj->setRange(5, 600);
  Bt_maj->setToolTip(QString::fromUtf8("Délais avant mise à jour (5 sec - 10 min)"));
}
