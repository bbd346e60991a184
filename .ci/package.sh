#!/usr/bin/env bash
# CI, as root on a fresh machine, after the tests: makes the Debian package
# from the normal build, installs it with apt as a user would, runs the
# installed programs (roteiro, a script from share/escuta, and telinha
# headless against the installed vitrine-demo), then removes the package and
# checks that nothing of it is left.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
  echo "package check skipped: it installs into the machine, which needs root"
  exit 0
fi
if dpkg-query -W -f='${Status}' escuta 2>/dev/null | grep -q "install ok installed"; then
  echo "package check skipped: an escuta package is installed here already, and stays" >&2
  exit 1
fi

repo=$PWD
out=build/package
rm -rf "$out"
cpack -G DEB --config build/CPackConfig.cmake -B "$out" >/dev/null
deb=$(ls "$out"/escuta_*.deb)
echo "== $deb: $(dpkg-deb -f "$deb" Depends)"

tmp=$(mktemp -d /tmp/escuta-package-XXXXXX)
portal=""
cleanup() {
  [ -z "$portal" ] || kill "$portal" 2>/dev/null || true
  dpkg-query -W escuta >/dev/null 2>&1 && apt-get remove --purge -y -q escuta >/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$repo/$deb" >/dev/null
dpkg -L escuta >"$tmp/files"

# A user's own folders, and nothing of the build tree.
export HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config"
unset ESCUTA_ROOT ESCUTA_CONFIG_DIR
cd "$tmp"
/usr/bin/roteiro --version
/usr/bin/roteiro --frontend headless --clock-speed 100 --time-limit 120 --screen-out screen.txt \
  /usr/share/escuta/roteiros/demo.txt >/dev/null
grep -q "Fim da demonstra" screen.txt

/usr/bin/vitrine-demo --api-port 0 --notes-port 0 --web-port 0 --state-dir "$tmp/portal" --log requests.jsonl \
  >portal.txt 2>&1 &
portal=$!
for _ in $(seq 100); do [ -s portal/ports ] && break; sleep 0.1; done
[ -s portal/ports ] || { cat portal.txt; exit 1; }
mkdir -p config
{ cat portal/escuta-demo.ini; printf '[ESCUTA]\nPGMESCUTA=/usr/bin\n'; } >config/Escuta.ini
status=0
/usr/bin/telinha --frontend headless --clock-speed 20 --time-limit 300 --config-dir "$tmp/config" \
  --keys "$repo/data/telinha/passeio.keys" --screen-out screen.txt >/dev/null || status=$?
# The companion and the monitor the client started end with it.
ESCUTA_CONFIG_DIR="$tmp/config" /usr/bin/escuta_stop telinha_con telinha_mon >/dev/null 2>&1 || true
[ "$status" -eq 0 ] || { cat screen.txt; echo "installed telinha ended with status $status"; exit 1; }
grep -q conectar requests.jsonl || { cat screen.txt; echo "installed telinha did not sign in to the portal"; exit 1; }

apt-get remove --purge -y -q escuta >/dev/null
left=""
while read -r f; do
  # Folders such as /usr/bin stay when other packages use them.
  [ -e "$f" ] && [ ! -d "$f" ] && left+="$f "
  [ -d "$f" ] && [[ "$f" == */escuta* ]] && left+="$f "
done <"$tmp/files"
[ -z "$left" ] || { echo "left after removal: $left"; exit 1; }
echo "package: installed, ran, removed, nothing left"
