#!/usr/bin/env bash
# Builds Varnodex with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
# Any test failure or sanitizer finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-test"

bash "$root/scripts/install-deps.sh"

# Every C++ file must be as clang-format lays it out (the style is in .clang-format).
(cd "$root" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror) \
  || { echo "Some files are not formatted: run clang-format -i on them." >&2; exit 1; }
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DVX_SANITIZE=ON -DVX_WERROR=ON -DVX_BUILD_BENCH=ON >/dev/null
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"
# Test displays have no desktop session bus. Without these, Qt forks a bus launcher from a
# multi-threaded test program, and the child can deadlock inside the sanitizer's allocator.
export DBUS_SESSION_BUS_ADDRESS="disabled:" NO_AT_BRIDGE=1

# Short fuzz runs (clang's libFuzzer) of the parsers that read user text; new inputs go to a
# scratch folder. Each entry: the fuzz target's name, then the sources it needs.
fuzz() {
  local name="$1"; shift
  clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$root" \
    "$root/fuzz/${name}_fuzz.cpp" "$@" -o "$build/${name}_fuzz"
  mkdir -p "$build/fuzz-$name"
  "$build/${name}_fuzz" -seed=1 -max_total_time=15 -max_len=300 -timeout=5 \
    -dict="$root/fuzz/$name.dict" "$build/fuzz-$name" 2>"$build/${name}_fuzz.log" \
    || { tail -50 "$build/${name}_fuzz.log"; exit 1; }
  echo "$name fuzz run: no crash"
}
fuzz expression "$root"/runtime/expression/*.cpp "$root"/runtime/dates.cpp "$root"/runtime/decimal.cpp
fuzz script_text "$root"/program/script_engine/script_text_tokens.cpp "$root"/program/script_engine/script_step_wording.cpp \
  "$root"/program/script_engine/read_script_line.cpp "$root"/program/script_engine/script_step_line.cpp \
  "$root"/runtime/text_functions.cpp
fuzz expand_variables "$root"/program/script_engine/bracket_expansion.cpp
fuzz csv "$root"/runtime/csv.cpp
fuzz rtf "$root"/runtime/window/rich_text_rtf.cpp "$root"/runtime/window/rich_document.cpp

cd "$build"
# A test that fails is run once more before the run fails: a few window tests wait on real
# timing and can miss on a heavily loaded machine. A fault that repeats still fails the run.
ctest_retry=(--repeat until-pass:2)
if [ -z "${DISPLAY:-}" ]; then
  # Tests that need an X server (hot keys, keystrokes, the Qt front end) share one virtual display.
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j "$(nproc)" --timeout 300 "${ctest_retry[@]}"
fi
exec ctest --output-on-failure -j "$(nproc)" --timeout 300 "${ctest_retry[@]}"
