// orvanta --time-report, run as a user runs it on a replayed receiver.
#include "program_run.h"

#include <sys/wait.h>

namespace {

class TimeReportRun : public testing_support::ProgramRun {
 protected:
  // Runs the program with `args` to its end; its exit status, its output in `out`.
  int report(const std::vector<std::string>& args, std::string& out) {
    std::vector<std::string> argv{"/usr/bin/setpriv", "--bounding-set=-sys_time", "--inh-caps=-sys_time",
                                  (root / "orvanta").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    int status = 0;
    waitpid(testing_support::spawn(argv, root / "report.out"), &status, 0);
    out = testing_support::read_file(root / "report.out");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

// Without a display, on the port named, for the seconds asked: the figures
// and the chrony line, status 1 with fewer than 10 fixes (one per 3-second
// cycle); no settings written. Wrong arguments end it at once with status 2.
TEST_F(TimeReportRun, FiguresOfTheRunOnThePortNamed) {
  plug_in(testing_support::drive_sentences(30));
  unsetenv("DISPLAY");
  std::string out;
  EXPECT_EQ(report({"--time-report", "7", "--port", link}, out), 1) << out;
  EXPECT_NE(out.find("\nRetard du récepteur : "), std::string::npos) << out;
  EXPECT_NE(out.find("\nLigne chrony : refclock SOCK /run/chrony.orvanta.sock refid GPS offset "), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(root / "orvanta.INI"));
  EXPECT_EQ(report({"--time-report", "0"}, out), 2);
  EXPECT_NE(out.find("--time-report : durée invalide « 0 »"), std::string::npos) << out;
}

}  // namespace
