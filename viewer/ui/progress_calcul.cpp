#include "viewer/ui/progress_calcul.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>

TCalcul::TCalcul(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setFixedSize(225, 65);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Raised);
  frame->setGeometry(0, 0, 225, 65);
  auto* label = new QLabel("Traitement en cours.    Patientez SVP...", frame);
  label->setGeometry(8, 6, 209, 20);
  ProgressBar1 = new QProgressBar(frame);
  ProgressBar1->setGeometry(8, 32, 209, 24);
}
