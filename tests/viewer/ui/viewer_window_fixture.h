// The four windows with the viewer's dialogs and message boxes replaced, and
// a journal in the fixture's folder that tests fill.
#pragma once

#include "support/journal_text.h"
#include "support/window_fixture.h"
#include "viewer/ui/tracer_gps.h"

#include <QMessageBox>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

class ViewerTest : public testing_support::WindowFixture {
 protected:
  struct Shown {
    QMessageBox::Icon icon;
    QString text;
  };

  ViewerTest() {
    create_windows();
    Compteur_maj = 0;
    Trace->Message = [this](QMessageBox::Icon icon, const QString& text) {
      messages.push_back({icon, text});
      if (on_message) on_message();
    };
    Trace->Ouvrir = [this] {
      ++dialogs;
      return chosen;
    };
    Trace->Sauver = [this] {
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

  const std::string journal = path("journal.txt");
  std::vector<Shown> messages;
  std::function<void()> on_message;
  std::optional<QString> chosen;
  int dialogs = 0;
};
