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

# A short fuzz run of the expression evaluator (clang's libFuzzer); new inputs go to a scratch folder.
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$root" \
  "$root"/fuzz/expression_fuzz.cpp "$root"/runtime/expression/*.cpp "$root"/runtime/dates.cpp \
  "$root"/runtime/decimal.cpp -o "$build/expression_fuzz"
mkdir -p "$build/fuzz-expression"
"$build/expression_fuzz" -max_total_time=15 -max_len=300 -timeout=5 \
  -dict="$root/fuzz/expression.dict" "$build/fuzz-expression" 2>"$build/expression_fuzz.log" \
  || { tail -50 "$build/expression_fuzz.log"; exit 1; }
echo "expression fuzz run: $(grep -c . "$build/expression_fuzz.log") log lines, no crash"

cd "$build"
if [ -z "${DISPLAY:-}" ]; then
  # Tests that need an X server (hot keys, keystrokes, the Qt front end) share one virtual display.
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)" --timeout 300
fi
exec ctest --output-on-failure -j "$(nproc)" --timeout 300
