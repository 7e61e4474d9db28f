#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the normal build (core, CLI, simulator
# and the Qt tests on the offscreen platform), then the core again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and a short run of every fuzz target (scripts/fuzz.sh). Pass --quick to
# skip the sanitizer build and the fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_GUI=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

if [ "${1:-}" != "--quick" ]; then
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON -DQUILLET_GUI=OFF >/dev/null
  cmake --build build-asan -j"$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600
  # A fixed seed: the same mutations on every run, so a find is a change in the code, not luck.
  QUILLET_FUZZ_SEED=1 scripts/fuzz.sh 12
fi
