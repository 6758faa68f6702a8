#include "acquisition/ui/time_panel.h"

#include "acquisition/time_status_text.h"

#include <QClipboard>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString text_of(const std::string& utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

}  // namespace

TimePanel::TimePanel(StatusSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), Timer_heure(new QTimer(this)), source_(std::move(source)) {
  setWindowTitle("Heure");
  // Values are not wrapped: the window widens for a long socket path.
  auto* form = new QFormLayout;
  for (const acquisition::TimeStatusLine& line : acquisition::time_status_lines({})) {
    auto* value = new QLabel(this);
    value->setTextFormat(Qt::PlainText);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(text_of(line.caption + " :"), value);
    Aff_valeurs.push_back(value);
  }

  // A line edit, not a label: selecting all of it takes one click, and it
  // scrolls for a long socket path.
  Aff_ligne_chrony = new QLineEdit(this);
  Aff_ligne_chrony->setReadOnly(true);
  Aff_ligne_chrony->setPlaceholderText(QString::fromUtf8("aucune, faute de points fiables"));
  Bt_copier = new QPushButton("Copier", this);
  connect(Bt_copier, &QPushButton::clicked, this,
          [this] { QGuiApplication::clipboard()->setText(Aff_ligne_chrony->text()); });
  auto* chrony = new QHBoxLayout;
  chrony->addWidget(Aff_ligne_chrony, 1);
  chrony->addWidget(Bt_copier);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(new QLabel(QString::fromUtf8("Ligne pour la configuration de chronyd :"), this));
  layout->addLayout(chrony);

  Timer_heure->setInterval(1000);
  connect(Timer_heure, &QTimer::timeout, this, &TimePanel::refresh);
}

void TimePanel::refresh() {
  const acquisition::TimeStatus status = source_();
  const std::vector<acquisition::TimeStatusLine> lines = acquisition::time_status_lines(status);
  for (size_t i = 0; i < lines.size() && i < Aff_valeurs.size(); ++i) Aff_valeurs[i]->setText(text_of(lines[i].value));
  const QString refclock = text_of(acquisition::refclock_line(status).value_or(""));
  // Rewriting the same text would drop the user's selection every second.
  if (Aff_ligne_chrony->text() != refclock) {
    Aff_ligne_chrony->setText(refclock);
    // Wide enough to show it whole: the window widens with it.
    Aff_ligne_chrony->setMinimumWidth(Aff_ligne_chrony->fontMetrics().horizontalAdvance(refclock) + 16);
  }
  Bt_copier->setEnabled(!refclock.isEmpty());
}

void TimePanel::showEvent(QShowEvent* event) {
  refresh();
  Timer_heure->start();
  QWidget::showEvent(event);
}

void TimePanel::hideEvent(QHideEvent* event) {
  Timer_heure->stop();
  QWidget::hideEvent(event);
}
