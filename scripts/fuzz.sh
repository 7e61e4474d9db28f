#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, address and undefined-behaviour sanitizers) in build-fuzz and
# runs each for SECONDS (default 300) on a copy of its corpus under tests/fuzz/corpus, so the corpus
# in the tree only changes by hand; QUILLET_FUZZ_SEED fixes libFuzzer's random seed. Fails when a
# target finds a crash; the crashing input is left in build-fuzz/findings/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
targets=(hex project settings firmware link)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DQUILLET_GUI=OFF -DQUILLET_TESTS=OFF -DQUILLET_FUZZ=ON >/dev/null
cmake --build build-fuzz --target quillet_fuzzers -j"$(nproc)"

failed=()
for target in "${targets[@]}"; do
  work=build-fuzz/findings/$target
  rm -rf "$work"
  mkdir -p "$work"
  cp -r "tests/fuzz/corpus/$target" "$work/corpus"
  max_len=4096
  [ "$target" = firmware ] && max_len=16384  # past the 14,336-byte firmware buffer
  echo "== $target: $seconds s"
  if ! build-fuzz/tests/fuzz/fuzz_"$target" -seed="${QUILLET_FUZZ_SEED:-0}" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
    failed+=("$target")
    tail -n 40 "$work/log"
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$work/log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found crashes in: ${failed[*]} (inputs in build-fuzz/findings/)"
  exit 1
fi
echo "Fuzzing: no crashes"
