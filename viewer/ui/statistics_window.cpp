#include "viewer/ui/statistics_window.h"

#include <QGridLayout>
#include <QLabel>

TStatistiques::TStatistiques(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setWindowTitle("Orvanta : Statistiques");
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(16);
  QFont bold = font();
  bold.setBold(true);
  auto* whole = new QLabel(QString::fromUtf8("Tout le tracé"), this);
  between_title_ = new QLabel(this);
  for (QLabel* title : {whole, between_title_}) {
    title->setFont(bold);
    title->setTextFormat(Qt::PlainText);
  }
  grid->addWidget(whole, 0, 1);
  grid->addWidget(between_title_, 0, 2);
  // The rows are made once, as many as the figures.
  const std::size_t rows = viewer::statistics_lines({}).size();
  for (std::size_t row = 0; row < rows; ++row) {
    captions_.push_back(new QLabel(this));
    grid->addWidget(captions_.back(), static_cast<int>(row) + 1, 0);
    for (int column = 0; column < 2; ++column) {
      values_[column].push_back(new QLabel(this));
      values_[column].back()->setTextInteractionFlags(Qt::TextSelectableByMouse);
      grid->addWidget(values_[column].back(), static_cast<int>(row) + 1, column + 1);
    }
  }
}

void TStatistiques::show_lines(const std::vector<viewer::StatisticsLine>& whole,
                               const std::vector<viewer::StatisticsLine>& between, const QString& between_title) {
  between_title_->setText(between_title);
  for (std::size_t row = 0; row < captions_.size(); ++row) {
    captions_[row]->setText(QString::fromStdString(whole[row].first) + " :");
    values_[0][row]->setText(QString::fromStdString(whole[row].second));
    values_[1][row]->setText(between.empty() ? "--" : QString::fromStdString(between[row].second));
  }
}

QString TStatistiques::value(int column, int row) const { return values_[column][row]->text(); }
