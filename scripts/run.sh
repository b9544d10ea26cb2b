#!/usr/bin/env bash
# Builds Varnodex and runs it on the default data folder. Without a display it runs on a
# virtual one (Xvfb), so the scheduler still works.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_BUILD_TESTS=OFF -DVX_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build"

data="${VX_DATA_FOLDER:-${XDG_DATA_HOME:-$HOME/.local/share}/varnodex}"
mkdir -p -m 700 "$data"
cd "$data"
echo "Data folder: $data"
# Named on the command line, the folder is used as it is: VX asks no folder question.
args=("Data=$data" "$@")

if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: running Varnodex on a virtual display (Xvfb)."
  # A virtual display has no desktop session bus; without these Qt tries to start one and waits.
  export DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}" NO_AT_BRIDGE=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/build/bin/VX" "${args[@]}"
fi
exec "$root/build/bin/VX" "${args[@]}"
