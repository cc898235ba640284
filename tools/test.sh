#!/usr/bin/env bash
# Builds everything and runs every test: the normal build, every test again under
# AddressSanitizer + UndefinedBehaviorSanitizer, and a short run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
bash tools/check-layers.sh
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-20}
export QT_QPA_PLATFORM=offscreen
start=$(date +%s)

# Runs one build's tests, or those the further ctest arguments choose, into the log of the
# given name; prints the failures in full and the summary.
run_ctest() {
  local log="$1/$3"
  if ! ctest --test-dir "$1" -j "$jobs" --output-on-failure --timeout "$2" "${@:4}" >"$log" 2>&1; then
    grep -v -E '^ +[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$log" | tail -n 300
    echo "tests failed in $1"
    exit 1
  fi
  grep -E 'tests passed|Total Test time' "$log"
}

# Line tables are all the debug information a failure's stack needs; the rest costs a
# quarter of the compile time. The tests' own code runs once per build: optimising it costs
# more time than it saves (the code under test keeps its build's optimisation).
lines_only="-g1"
test_options="-DVORLANE_TEST_OPTIONS=-O0"

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_PCH=ON "$test_options" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" >/dev/null
cmake --build build -j "$jobs"
echo "== tests"
run_ctest build 600 ctest.log

echo "== tests bound by file permissions, as an unprivileged user"
bash tools/unprivileged-tests.sh build

echo "== window tests on X"
# The window tests once more on the xcb platform, each case under an X server of its own
# (tests/common/ownxserver.h): a test that passes only offscreen fails here.
VORLANE_TESTS_ON_X=1 run_ctest build 600 ctest-x.log -L '^(ui|dialogs|chartpages|app|workbookwnd|program)$'

echo "== all tests under ASan + UBSan"
# -O1 as the sanitizers advise: their checks stay, and the tests run faster than at -O0.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVORLANE_SANITIZE=ON \
  -DVORLANE_GUI=ON -DVORLANE_BENCH=OFF -DVORLANE_PCH=ON "$test_options" \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 $lines_only" -DCMAKE_C_FLAGS_DEBUG="-O1 $lines_only" >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp" \
  run_ctest build-asan 900 ctest.log

echo "== fuzz targets (${fuzz_seconds}s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORLANE_FUZZ=ON -DVORLANE_GUI=OFF -DVORLANE_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 $lines_only -DNDEBUG" >/dev/null
cmake --build build-fuzz -j "$jobs"
# Each target runs for its fixed time; as many run side by side as there are processors,
# and their summaries print in name order once all have ended.
fuzz_one() {
  local name=$1 seeds=()
  mkdir -p "build-fuzz/corpus/$name"
  # Seed inputs kept with the sources join the corpus (new finds go to the first folder).
  [ -d "tests/fuzz/seeds/$name" ] && seeds=("../tests/fuzz/seeds/$name")
  local rc=0
  (cd build-fuzz && "tests/fuzz/$name" "corpus/$name" "${seeds[@]}" -max_total_time="$fuzz_seconds" \
    -timeout=10 -rss_limit_mb=2048 >"$name.log" 2>&1) || rc=$?
  echo "$rc" >"build-fuzz/$name.rc"
}
fuzz_names=()
for f in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] && fuzz_names+=("$(basename "$f")")
done
running=0
for name in "${fuzz_names[@]}"; do
  rm -f "build-fuzz/$name.rc"
  fuzz_one "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait
for name in "${fuzz_names[@]}"; do
  if [ "$(cat "build-fuzz/$name.rc" 2>/dev/null)" != "0" ]; then
    tail -n 60 "build-fuzz/$name.log"
    echo "fuzz target $name failed"
    exit 1
  fi
  echo "-- $name: $(grep -E '^Done [0-9]+ runs' "build-fuzz/$name.log")"
done

echo "== all tests passed in $(( $(date +%s) - start )) s"
