// The viewer and its progress window with the dialogs and message boxes
// replaced, over settings that name a journal in the fixture's folder that
// tests fill.
#pragma once

#include "support/journal_text.h"
#include "viewer/ui/progress_calcul.h"
#include "viewer/ui/tracer_gps.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

class ViewerTest : public ::testing::Test {
 protected:
  struct Shown {
    QMessageBox::Icon icon;
    QString text;
  };

  ViewerTest() {
    settings.log_path_1 = journal;
    Compteur_maj = 0;
    trace.Message = [this](QMessageBox::Icon icon, const QString& text) {
      messages.push_back({icon, text});
      if (on_message) on_message();
    };
    trace.Ouvrir = [this] {
      ++dialogs;
      return chosen;
    };
    trace.Sauver = [this] {
      ++dialogs;
      return chosen;
    };
  }

  static constexpr int32_t kStep = 1667;  // about ten arc-seconds, in ten-thousandths of a minute
  // n records along a line north-east from 45° N 6° E, ten seconds apart.
  static std::string track_text(int n, int first = 0) {
    std::string text;
    for (int i = first; i < first + n; ++i)
      text += viewer_test::record_at(27'000'000 + kStep * i, 3'600'000 + kStep * i);
    return text;
  }
  void write_journal(const std::string& text, std::ios::openmode mode = std::ios::trunc) {
    std::ofstream(journal, std::ios::binary | std::ios::out | mode) << text;
  }
  QString journal_path() const { return QString::fromStdString(journal); }

  std::string path(const char* name) const { return dir.filePath(name).toStdString(); }

  QTemporaryDir dir;
  const std::string journal = path("journal.txt");
  shell::Settings settings;
  TCalcul calcul;
  TTrace trace{settings, &calcul};
  std::vector<Shown> messages;
  std::function<void()> on_message;
  std::optional<QString> chosen;
  int dialogs = 0;
};
