#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main
# program: roteiro on the bundled demonstration script, in a window when a
# display is reachable, else headless, printing the screen at the end.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/roteiro "$@" data/roteiros/demo.txt
fi
exec build/bin/roteiro --frontend headless --screen-out /dev/stdout "$@" data/roteiros/demo.txt
