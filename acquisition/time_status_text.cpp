#include "acquisition/time_status_text.h"

#include <cstdio>

namespace acquisition {

using namespace std::chrono;

namespace {

std::string seconds_text(milliseconds ms, bool sign) {
  char text[32];
  std::snprintf(text, sizeof text, sign ? "%+.3f" : "%.3f", duration<double>(ms).count());
  return text;
}

// "07/12/2026 14:03:27", with ".312" when `with_ms`: the journal's order.
std::string instant_text(platform::UtcInstant instant, bool with_ms) {
  const platform::SystemTime t = platform::system_time_of(instant);
  char text[40];
  std::snprintf(text, sizeof text, "%02u/%02u/%04u %02u:%02u:%02u", t.Day, t.Month, t.Year, t.Hour, t.Minute, t.Second);
  std::string result = text;
  if (with_ms) {
    std::snprintf(text, sizeof text, ".%03u", t.Milliseconds);
    result += text;
  }
  return result + " UTC";
}

std::string sync_text(const std::optional<platform::ClockSync>& sync) {
  if (!sync) return "inconnue";
  if (!sync->synchronised) return "non";
  return "oui (erreur maximale " + seconds_text(duration_cast<milliseconds>(sync->max_error), false) + " s)";
}

std::string delay_text(const TimeStatus& s) {
  if (!s.delay) return "pas encore mesuré";
  const DelayFigures& d = *s.delay;
  std::string text = seconds_text(d.median, false) + " s (80 % entre " + seconds_text(d.low, false) + " et " +
                     seconds_text(d.high, false) + " s, sur " + std::to_string(d.count) + " points)";
  // Measured against the computer's clock: an unkept clock's error is in it.
  if (!s.sync) return text + ", horloge peut-être non synchronisée";
  if (!s.sync->synchronised) return text + ", peu sûr : horloge non synchronisée";
  return text;
}

std::string clock_set_text(const std::optional<ClockAttempt>& set) {
  if (!set) return "jamais";
  std::string text = "le " + instant_text(set->at, false);
  if (set->outcome == ClockOutcome::set) return text;
  return text + ", sur le jour de l'ordinateur (la date GPS en diffère)";
}

std::string refusal_text(const std::optional<ClockAttempt>& refusal) {
  if (!refusal) return "aucun";
  const std::string text = "le " + instant_text(refusal->at, false) + " : ";
  switch (refusal->outcome) {
    case ClockOutcome::void_fix:
      return text + "pas de position (statut V)";
    case ClockOutcome::bad_checksum:
      return text + "somme de contrôle fausse";
    default:
      return text + "pas le droit de régler l'horloge";
  }
}

std::string chrony_text(const ChronyFeed& c) {
  if (c.socket.empty()) return "non envoyés (aucun socket : Chrony= dans orvanta.INI)";
  std::string text = c.socket + " : ";
  if (!c.reachable) return text + "aucun envoi encore";
  text += *c.reachable ? "joignable" : "injoignable";
  return text + ", " + std::to_string(c.sent) + " envoyés, " + std::to_string(c.accepted) + " acceptés";
}

}  // namespace

std::vector<TimeStatusLine> time_status_lines(const TimeStatus& s) {
  return {
      {"Heure GPS (dernier point)", s.gps_time ? instant_text(*s.gps_time, false) : "aucun point fiable"},
      {"Heure de l'ordinateur", instant_text(s.computer_time, true)},
      {"Écart ordinateur − GPS", s.difference ? seconds_text(*s.difference, true) + " s" : "—"},
      {"Retard du récepteur", delay_text(s)},
      {"Horloge synchronisée", sync_text(s.sync)},
      {"Mise à l'heure par Orvanta", clock_set_text(s.last_clock_set)},
      {"Dernier refus de mise à l'heure", refusal_text(s.last_clock_refusal)},
      {"Échantillons chrony", chrony_text(s.chrony)},
  };
}

std::optional<std::string> refclock_line(const TimeStatus& s) {
  if (!s.delay) return std::nullopt;
  const std::string socket = s.chrony.socket.empty() ? std::string(kDefaultChronySocket) : s.chrony.socket;
  return "refclock SOCK " + socket + " refid GPS offset " + seconds_text(s.delay->median, false) +
         " delay 0.2 precision 0.1";
}

std::string time_report_text(const TimeStatus& s) {
  std::string text;
  for (const TimeStatusLine& line : time_status_lines(s)) text += line.caption + " : " + line.value + "\n";
  const std::optional<std::string> refclock = refclock_line(s);
  text += "\nLigne chrony : " + refclock.value_or("aucune, faute de points fiables") + "\n";
  return text;
}

int time_report_exit_status(const TimeStatus& s) { return s.delay && s.delay->count >= kReportFixes ? 0 : 1; }

}  // namespace acquisition
