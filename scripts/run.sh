#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Quillet window (under Xvfb when there is no display).
# Without arguments it starts the demo: a simulated Programmer and Gang Programmer, settings in a demo
# folder of their own. Arguments go to the program instead (none at all: `scripts/run.sh --real`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_GUI=ON >/dev/null
cmake --build build -j"$(nproc)"
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--demo)
[ "${args[0]:-}" = "--real" ] && args=("${args[@]:1}")
if [ -x build/src/qt/quillet ]; then
  if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a build/src/qt/quillet "${args[@]}"; fi
  exec build/src/qt/quillet "${args[@]}"
fi
exec build/src/cli/quillet-cli --help
