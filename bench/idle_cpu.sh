#!/usr/bin/env bash
# The idle processor time of the built VX: a data folder of 10,000 tasks (none due), VX started
# on it in a desktop session of its own (Xvfb, openbox, trayer), left to settle, then its user
# and system time (utime + stime of /proc/PID/stat, every thread) over 120 s of wall time.
# Reported beside the aim of 0.05 %, and beside another tray scheduler measured the same way
# when one is installed (kalarm on the PATH).
#   bench/idle_cpu.sh [BUILD_DIR] [DISPLAY_NUMBER]     (default build-rel, display 92)
# Environment: IDLE_SECONDS (120), TASKS (10000), SETTLE_SECONDS (15).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build-rel}" && pwd)"
number="${2:-92}"
seconds="${IDLE_SECONDS:-120}"
tasks="${TASKS:-10000}"
settle="${SETTLE_SECONDS:-15}"

if [ "${VX_IN_SESSION:-}" != 1 ]; then
  exec env VX_IN_SESSION=1 "$root/bench/desktop_session.sh" "$number" "$0" "$build" "$number"
fi

work="$(mktemp -d /tmp/vx-idle-XXXXXX)"
children=()
other=""
finish() {
  # The other scheduler first: its bus runner then ends its own bus daemon as it exits.
  [ -n "$other" ] && kill "$other" 2>/dev/null || true
  sleep 1
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# Processor time of a process in clock ticks: utime + stime, read after the command name
# (which may hold blanks) closes with ')'.
ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }
resident_mb() { awk '/^VmRSS:/ {printf "%.1f", $2 / 1024}' "/proc/$1/status"; }

# Measures the process `pid` after it settled; prints "NAME: X % over S s, RSS M MB".
measure() {
  local name="$1" pid="$2" hz before after start end
  sleep "$settle"
  hz="$(getconf CLK_TCK)"
  before="$(ticks "$pid")"
  start="$(date +%s.%N)"
  sleep "$seconds"
  after="$(ticks "$pid")"
  end="$(date +%s.%N)"
  awk -v n="$name" -v t=$((after - before)) -v hz="$hz" -v s="$start" -v e="$end" \
    -v rss="$(resident_mb "$pid")" \
    'BEGIN {printf "%-8s idle CPU %.4f %% over %.1f s (%d ticks), RSS %s MB\n", n,
            100 * t / hz / (e - s), e - s, t, rss}'
}

mkdir -m 700 "$work/data"
"$build/bin/bench_start_to_frame" --task-folder "$work/data" "$tasks"
# The first start stores the new database's settings; the measured one finds them.
"$build/bin/VX" "Data=$work/data" >/dev/null 2>&1 &
first=$!
sleep 5
kill -TERM "$first"
wait "$first" || true

"$build/bin/VX" "Data=$work/data" >"$work/vx.log" 2>&1 &
children+=($!)
echo "aim      idle CPU at most 0.05 % ($tasks tasks, ${seconds} s)"
measure VX "${children[-1]}" &
measures=($!)

if command -v kalarm >/dev/null && command -v dbus-run-session >/dev/null; then
  # It needs a session bus of its own; its own process is measured, not the bus's.
  mkdir -m 700 "$work/home"
  HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local" \
    dbus-run-session -- kalarm >"$work/other.log" 2>&1 &
  children+=($!)
  for _ in $(seq 100); do
    other="$(pgrep -P "${children[-1]}" -x kalarm || true)"
    [ -n "$other" ] && break
    sleep 0.1
  done
  if [ -n "$other" ]; then
    measure KAlarm "$other" &
    measures+=($!)
  else
    echo "(kalarm did not start)"
  fi
else
  echo "(no kalarm installed: nothing measured beside VX)"
fi
wait "${measures[@]}"
