#!/usr/bin/env bash
# Runs a command in a desktop session of its own: Xvfb on display :N, openbox and a tray host
# (trayer), with no session bus, as the program meets a plain desktop. Everything the session
# started is ended afterwards, by its process id.
#   bench/desktop_session.sh N command [args...]
set -euo pipefail
display=":$1"
shift
pids=()
finish() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap finish EXIT

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
export DISPLAY="$display" DBUS_SESSION_BUS_ADDRESS="disabled:" NO_AT_BRIDGE=1 QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
pids+=($!)
trayer --edge top --align right --widthtype pixel --width 200 --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 2
"$@"
