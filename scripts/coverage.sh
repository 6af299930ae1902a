#!/usr/bin/env bash
# Line and branch coverage of src/ by the whole test suite: a Debug build with --coverage in
# ./build-coverage, every test run, then gcovr's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if ! command -v gcovr >/dev/null; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends gcovr
fi
build="${ORTHOVANE_COVERAGE_BUILD_DIR:-build-coverage}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
    -DCMAKE_EXE_LINKER_FLAGS=--coverage -DORTHOVANE_WERROR=OFF
fi
cmake --build "$build" -j2
find "$build" -name '*.gcda' -delete # counts of an earlier run would add up
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -j2 --timeout 600 --output-on-failure | tail -4) || true
# The full report goes beside the build, never to a device: some tools replace their output file.
gcovr -r . --object-directory "$build" --filter src/ -s -o "$build/coverage.txt"
