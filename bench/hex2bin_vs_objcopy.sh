#!/usr/bin/env bash
# Times the whole `quillet-cli hex2bin` process (start-up included) next to `objcopy -I ihex -O
# binary` on the HEX text of the same full 256 KB image, after checking that both write the same
# bytes. Builds a Release quillet-cli in build-bench/ unless QUILLET_CLI names one. Uses hyperfine
# when it is installed, else a plain loop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${QUILLET_CLI:-}
if [ -z "$cli" ]; then
  cmake -S "$root" -B "$root/build-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_GUI=OFF \
    -DQUILLET_TESTS=OFF -DQUILLET_BENCH=ON >/dev/null
  cmake --build "$root/build-bench" -j"$(nproc)" --target quillet-cli >/dev/null
  cli=$root/build-bench/src/cli/quillet-cli
fi
objcopy=${OBJCOPY:-objcopy}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head -c 262144 /dev/urandom >"$work/image.bin"
"$objcopy" -I binary -O ihex "$work/image.bin" "$work/image.hex"
echo "HEX text of a 256 KB image: $(stat -c %s "$work/image.hex") bytes"
"$cli" hex2bin "$work/image.hex" "$work/quillet.bin"
"$objcopy" -I ihex -O binary "$work/image.hex" "$work/objcopy.bin"
cmp "$work/quillet.bin" "$work/objcopy.bin"
cmp "$work/quillet.bin" "$work/image.bin"
echo "both write the same 262144 bytes"

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 10 --min-runs 100 -N \
    -n "quillet-cli hex2bin" "$cli hex2bin $work/image.hex $work/quillet.bin" \
    -n "objcopy -I ihex -O binary" "$objcopy -I ihex -O binary $work/image.hex $work/objcopy.bin"
else
  for name in quillet objcopy; do
    start=$(date +%s%N)
    for _ in $(seq 200); do
      if [ $name = quillet ]; then "$cli" hex2bin "$work/image.hex" "$work/quillet.bin"
      else "$objcopy" -I ihex -O binary "$work/image.hex" "$work/objcopy.bin"; fi
    done
    echo "$name: $(( ($(date +%s%N) - start) / 200000 )) us per run"
  done
fi
