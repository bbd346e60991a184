#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main
# program: in a window when a display is reachable, else headless with a
# demonstration key script, printing the screen at the end.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/consoledemo "$@"
fi
exec build/bin/consoledemo --frontend headless --keys data/demo/consoledemo.keys --screen-out /dev/stdout "$@"
