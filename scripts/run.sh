#!/usr/bin/env bash
# Installs what is missing, builds, and starts the Quillet window (under Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_GUI=ON >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/src/qt/quillet ]; then
  if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a build/src/qt/quillet "$@"; fi
  exec build/src/qt/quillet "$@"
fi
exec build/src/cli/quillet-cli --help
