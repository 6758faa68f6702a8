#!/usr/bin/env bash
# Long-running check of reception under load: the real program, logging from a
# receiver whose 115,200-baud line is full all the time (a 10 Hz receiver's
# RMC, GGA, GSA and GSV sentences with line noise between them), for
# SOAK_MINUTES (10) minutes. Prints the records written against those due,
# the largest gap between two records, and the program's memory (RSS) and CPU
# use at the start and at the end.
#
#   sudo scripts/soak_115200.sh            # needs root: the receiver's pty is
#                                          # linked into /dev to be listed
#   SOAK_MINUTES=2 SOAK_INTERVAL=3 sudo scripts/soak_115200.sh
#
# Runs in a temporary folder with its own settings file; the machine's clock
# is never set (the clock capability is dropped) and no real port is touched.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${SOAK_MINUTES:-10}
interval=${SOAK_INTERVAL:-15}     # seconds between records (3 to 86400)
noise=${SOAK_NOISE:-122}          # bytes of noise after each sentence
build=${SOAK_BUILD:-build/release}  # an existing build folder is used as it is

[ "$(id -u)" = 0 ] || { echo "soak: run as root (the receiver is linked into /dev)" >&2; exit 1; }
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANTA_TESTS=OFF >/dev/null
cmake --build "$build" --target orvanta orvanta-nmea-replay >/dev/null

work=$(mktemp -d /tmp/orvanta-soak.XXXXXX)
link=/dev/ttyUSBsoak$$
replay_pid= program_pid=
finish() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
  [ -n "$replay_pid" ] && kill "$replay_pid" 2>/dev/null && wait "$replay_pid" 2>/dev/null
  rm -f "$link"
  echo "soak: files kept in $work"
}
trap finish EXIT

# A 10 Hz receiver's sentences for the whole run and a minute more (its clock
# then measures the gaps between records).
python3 - "$work/receiver.nmea" $(( minutes + 1 )) <<'EOF'
import functools, operator, sys
def sentence(body):
    return "$%s*%02X" % (body, functools.reduce(operator.xor, body.encode(), 0))
with open(sys.argv[1], "w") as out:
    for tenth in range(600 * int(sys.argv[2])):
        s = tenth // 10
        t = "%02d%02d%02d" % (12 + s // 3600, s // 60 % 60, s % 60)
        lat = "4500.%04d" % (tenth % 10000)
        out.write(sentence("GPRMC,%s,A,%s,N,00600.0000,E,012.5,045.0,070126,," % (t, lat)) + "\n")
        out.write(sentence("GPGGA,%s,%s,N,00600.0000,E,1,08,0.9,100.0,M,47.0,M,," % (t, lat)) + "\n")
        out.write(sentence("GPGSA,A,3,01,02,12,14,15,17,19,24,,,,,1.6,0.9,1.3") + "\n")
        for page in (1, 2, 3):
            out.write(sentence("GPGSV,3,%d,12,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45" % page) + "\n")
EOF

"$build/tools/orvanta-nmea-replay" "$work/receiver.nmea" --loop --baud 115200 --speed 0 --noise "$noise" --link "$link" \
  >"$work/replay.out" 2>&1 &
replay_pid=$!
for _ in $(seq 50); do [ -L "$link" ] && break; sleep 0.1; done
[ -L "$link" ] || { echo "soak: the replay tool did not start" >&2; exit 1; }

# The settings name the port by its place in the port list the program shows.
index=$(python3 - "${link#/dev/}" <<'EOF'
import os, stat, sys
prefixes = ("ttyS", "ttyUSB", "ttyACM", "ttyAMA", "ttyXRUSB", "ttyGS", "rfcomm", "tnt")
def listed(name):
    try:
        info = os.stat("/dev/" + name)
    except OSError:
        return False
    if not stat.S_ISCHR(info.st_mode):
        return False
    if not name.startswith("ttyS"):
        return True
    try:
        with open("/sys/dev/char/%d:%d/type" % (os.major(info.st_rdev), os.minor(info.st_rdev))) as f:
            return int(f.read()) != 0
    except (OSError, ValueError):
        return False
names = sorted((n for n in os.listdir("/dev") if n.startswith(prefixes) and listed(n)), key=str.lower)
print(names.index(sys.argv[1]))
EOF
)
cp "$build/orvanta" "$work/orvanta"
printf '[Fichiers]\r\nFichier log 1=%s\r\nFichier log 2=%s\r\n[Actions]\r\nIntervalle=%s\r\nHeure auto=0\r\nEnregistrer dans fichier log=1\r\n[RS232]\r\nConnection auto=1\r\nCOMM=%s\r\nVitesse=13\r\n' \
  "$work/journal.txt" "$work/last.txt" "$interval" "$index" >"$work/orvanta.INI"

QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  setpriv --bounding-set=-sys_time --inh-caps=-sys_time "$work/orvanta" >"$work/orvanta.out" 2>&1 &
program_pid=$!
started=$(date +%s.%N)
ticks=$(getconf CLK_TCK)

# Elapsed seconds, records, RSS in KiB and CPU seconds, every ten seconds.
sample() {
  local now cpu rss records
  now=$(date +%s.%N)
  cpu=$(awk -v t="$ticks" '{ sub(/^.*\) /, ""); print ($12 + $13) / t }' "/proc/$program_pid/stat")
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$program_pid/status")
  records=$(( $(stat -c %s "$work/journal.txt" 2>/dev/null || echo 0) / 65 ))
  echo "$(awk -v a="$now" -v b="$started" 'BEGIN { print a - b }') $records $rss $cpu" >>"$work/samples"
}
: >"$work/samples"
end=$(( $(date +%s) + minutes * 60 ))
while [ "$(date +%s)" -lt "$end" ]; do
  kill -0 "$program_pid" 2>/dev/null || { echo "soak: the program ended early" >&2; exit 1; }
  sample
  sleep 10
done
sample

python3 - "$work" "$interval" <<'EOF'
import sys
work, interval = sys.argv[1], int(sys.argv[2])
rows = [tuple(map(float, line.split())) for line in open(work + "/samples")]
# Journal times of day (the receiver's own clock), to measure the gaps.
times = []
for record in open(work + "/journal.txt", encoding="cp1252", newline="\r\n"):
    h, m, s = map(int, record.split("\t")[1].split(":"))
    times.append(h * 3600 + m * 60 + s)
gaps = [b - a for a, b in zip(times, times[1:])]
first, last = rows[0], rows[-1]
def rate(a, b):
    return 100 * (b[3] - a[3]) / (b[0] - a[0])
elapsed = last[0]
print("elapsed            %.0f s" % elapsed)
print("records written    %d" % last[1])
print("records due        %d  (one per %d s)" % (int(elapsed // interval), interval))
print("largest gap        %s s between two records" % (max(gaps) if gaps else "-"))
print("RSS                %.1f MiB at start, %.1f MiB at end" % (rows[1][2] / 1024, last[2] / 1024))
print("CPU                %.1f %% over the first minute, %.1f %% over the last minute" %
      (rate(rows[0], rows[min(6, len(rows) - 1)]), rate(rows[max(0, len(rows) - 7)], last)))
EOF
