#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds, and runs the main
# program: the portal client telinha against the demo portal vitrine-demo,
# started here on loopback, with a fresh configuration that trusts the demo's
# certificate authority. With a display the client opens its window; without
# one it runs headless, speaking through the sound card, walking through the
# menus with a bundled key script (or yours: ./setup.sh --keys FILE), and
# prints its screen at the end.
set -euo pipefail
cd "$(dirname "$0")"
tools/dev/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

demo="$PWD/build/demo"
rm -rf "$demo/config"
mkdir -p "$demo/config"
rm -f "$demo/portal/ports"
build/bin/vitrine-demo --api-port 0 --notes-port 0 --web-port 0 --state-dir "$demo/portal" \
  --log "$demo/pedidos.jsonl" >"$demo/portal.txt" 2>&1 &
portal=$!
# What the client started against this portal goes when the demo ends:
# its companion once it has said goodbye to the portal, and its monitor.
ours() {
  for pid in $(pgrep -x "$1" || true); do
    { tr "\0" "\n" <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "ESCUTA_CONFIG_DIR=$demo/config" && echo "$pid"
  done
  return 0
}
finish() {
  for _ in $(seq 50); do [ -z "$(ours telinha_con)" ] && break; sleep 0.2; done
  kill $(ours telinha_con) $(ours telinha_mon) 2>/dev/null || true
  kill "$portal" 2>/dev/null || true
}
trap finish EXIT
for _ in $(seq 100); do [ -s "$demo/portal/ports" ] && break; sleep 0.1; done
[ -s "$demo/portal/ports" ] || { cat "$demo/portal.txt"; exit 1; }
{ cat "$demo/portal/escuta-demo.ini"; printf '[ESCUTA]\nPGMESCUTA=%s\n' "$PWD/build/bin"; } >"$demo/config/Escuta.ini"

export PATH="$PWD/build/bin:$PATH"
status=0
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  build/bin/telinha --config-dir "$demo/config" "$@" || status=$?
else
  keys=(--keys data/telinha/passeio.keys)
  for a in "$@"; do [ "$a" = "--keys" ] && keys=(); done
  build/bin/telinha --frontend headless --audio-device --config-dir "$demo/config" --screen-out - \
    "${keys[@]}" "$@" || status=$?
fi
exit $status
