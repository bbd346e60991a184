#!/usr/bin/env bash
# cmake --install into a staging folder, as a package is made: nothing may go
# outside the prefix, run paths are relative, and the installed programs run
# from wherever the tree is moved, without ESCUTA_ROOT, keeping what users
# write in their own data folder and the shipped data untouched.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d /tmp/escuta-install-XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/escuta >"$tmp/install.log"
outside=$(cd "$tmp/stage" && find . -mindepth 1 -not -path ./opt -not -path './opt/escuta*')
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
prefix="$tmp/stage/opt/escuta"

for f in bin/roteiro bin/telinha bin/telinha_con bin/telinha_mon bin/atuescuta bin/vitrine-demo bin/fonemas \
         bin/escuta_stop bin/escuta_clipboard lib/escuta/libescuta_platform.so lib/escuta/libescuta_platform_base.so \
         lib/escuta/escuta_sdl.so lib/escuta/escuta_brlapi.so share/escuta/audiwin/som/difones/regras.rgr \
         share/escuta/audiwin/auroratts/portug.uni share/escuta/telinha/som share/escuta/roteiros/demo.txt \
         share/escuta/vitrine/catalogo.json share/escuta/vitrine/atualizacao/telinha_version.txt \
         share/doc/escuta/README.md share/man/man1/roteiro.1.gz share/man/man5/escuta.ini.5.gz \
         share/man/man7/escuta-roteiro.7.gz share/applications/telinha.desktop share/mime/packages/escuta.xml \
         share/icons/hicolor/scalable/apps/telinha.svg; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
desktop-file-validate "$prefix/share/applications/"*.desktop

# Run paths point into the tree, never into the build.
for f in "$prefix"/bin/* "$prefix"/lib/escuta/*; do
  runpath=$(readelf -d "$f" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case "$f" in
    */bin/*) want='$ORIGIN/../lib/escuta' ;;
    *) want='$ORIGIN' ;;
  esac
  [ "$runpath" = "$want" ] || fail "$f has run path '$runpath', not '$want'"
done

# What a user would do: no ESCUTA_ROOT, a home of one's own.
run() {
  env -u ESCUTA_ROOT -u ESCUTA_CONFIG_DIR HOME="$tmp/home" XDG_DATA_HOME="$1" XDG_CONFIG_HOME="$tmp/config" \
    "${@:2}"
}
cat >"$tmp/writes.rot" <<'SCRIPT'
dir cria "c:\saida" &
replica "c:\audiwin\som\difones\regras.rgr" "c:\saida\regras.rgr"
escreve "copiado"
SCRIPT
snapshot() { (cd "$1/share" && find . -printf '%p %s %T@ %m\n' | sort); }

check_prefix() {
  local prefix=$1 data=$2
  before=$(snapshot "$prefix")
  [ -n "$(run "$data" "$prefix/bin/roteiro" --version)" ] || fail "roteiro --version said nothing"
  run "$data" "$prefix/bin/roteiro" --frontend headless --clock-speed 100 --time-limit 3000 --screen-out "$tmp/demo.txt" \
    "$prefix/share/escuta/roteiros/demo.txt" >/dev/null || fail "the installed demo script did not run"
  grep -q "Fim da demonstra" "$tmp/demo.txt" || fail "the demo script did not reach its end"
  run "$data" "$prefix/bin/roteiro" --frontend headless --clock-speed 100 --time-limit 3000 --screen-out "$tmp/w.txt" \
    "$tmp/writes.rot" >/dev/null || fail "a script writing below c:\\ did not run: $(cat "$tmp/w.txt")"
  cmp -s "$data/escuta/saida/regras.rgr" "$prefix/share/escuta/audiwin/som/difones/regras.rgr" ||
    fail "c:\\ is not the user's data folder, seeded from the shipped data"
  [ "$(snapshot "$prefix")" = "$before" ] || fail "the shipped data changed"
  [ -z "$(find "$prefix/share/escuta" -path '*/saida*')" ] || fail "a script wrote into the shipped data"
}

check_prefix "$prefix" "$tmp/data1"
# A file the user changed stays the user's at the next start.
echo "mine" >"$tmp/data1/escuta/roteiros/demo.txt"
run "$tmp/data1" "$prefix/bin/roteiro" --frontend headless --time-limit 60 "$tmp/writes.rot" >/dev/null ||
  fail "the script did not run again"
[ "$(cat "$tmp/data1/escuta/roteiros/demo.txt")" = mine ] || fail "a start replaced a file the user changed"

# Moved elsewhere, the tree still runs.
mv "$tmp/stage/opt/escuta" "$tmp/moved"
check_prefix "$tmp/moved" "$tmp/data2"
echo "installed tree: layout, run paths, seeding and relocation ok"
