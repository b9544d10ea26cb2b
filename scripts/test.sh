#!/usr/bin/env bash
# Builds Varnodex with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# Any test failure or sanitizer finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-test"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DVX_SANITIZE=ON -DVX_WERROR=ON -DVX_BUILD_BENCH=ON >/dev/null
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"

cd "$build"
if [ -z "${DISPLAY:-}" ]; then
  # Tests that need an X server (hot keys, keystrokes, the Qt front end) share one virtual display.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" --timeout 300
fi
exec ctest --output-on-failure -j "$(nproc)" --timeout 300
