#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each in turn for SECONDS
# (default 60), from seeds taken from the tests and the data files plus the
# kept crash inputs. New inputs it finds stay in the build folder's corpus;
# a crash stops that target and is written to the build folder's crashes/.
#   fuzz/run.sh [SECONDS] [TARGET...]
# ESCUTA_FUZZ_BUILD names the build folder (build-fuzz), ESCUTA_FUZZ_JOBS the
# compile jobs (all cores), ESCUTA_FUZZ_FLAGS more libFuzzer flags (such as
# -runs=10000000 to stop a fast target early).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(script_lines expression profile wave bmp diphone_index diphone_rules
                                     tts_data normalise line_reader http_answer key_script path_mapping
                                     jpeg png)
dir=${ESCUTA_FUZZ_BUILD:-build-fuzz}

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DESCUTA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$dir" -j "${ESCUTA_FUZZ_JOBS:-$(nproc)}" --target "${targets[@]/%/_fuzz}"

# Each line of the given files as a seed of its own, behind an optional
# prefix (the byte some targets read first).
seed_lines() {
  local out=$1 prefix=$2
  shift 2
  local line
  while IFS= read -r line; do
    printf '%s%s' "$prefix" "$line" >"$out/line-$(printf '%s' "$line" | md5sum | cut -c1-12)"
  done < <(cat "$@" | tr -d '\r' | grep -av '^[[:space:]]*$' | sed -n 1,400p)
}

seed() {
  local target=$1 out=$2
  mkdir -p "$out"
  if [ -d "fuzz/seeds/$target" ]; then cp fuzz/seeds/"$target"/* "$out"/; fi
  case $target in
    script_lines) cp tests/engine/scripts/*/*.txt data/roteiros/*.txt "$out"/ ;;
    expression) { grep -rhoiE '^[[:space:]]*(se|enquanto) .*' tests/engine/scripts || true; } |
        sed -E 's/^[[:space:]]*[A-Za-z]+ //' >"$out/conditions.txt"
      seed_lines "$out" "" "$out/conditions.txt"
      { grep -rhoE '\([^"]*\)' tests/engine/scripts || true; } | sed 's/^(//' >"$out/expressions.txt"
      seed_lines "$out" "" "$out/expressions.txt"
      rm -f "$out/conditions.txt" "$out/expressions.txt" ;;
    diphone_rules) cp data/difones/regras.rgr data/difones/portug.exc "$out"/ ;;
    tts_data)
      local kind=0
      for ext in nrl exc abr pro fon; do
        for f in data/tts/portug.$ext tests/tools/build/tts_data_check/bad_voice/portug.$ext; do
          { printf "\\x3$kind"; cat "$f"; } >"$out/$kind-$(basename "$(dirname "$f")").$ext"
        done
        kind=$((kind + 1))
      done ;;
    normalise) seed_lines "$out" "" tests/tts/data/prosa.txt data/tts/portug.abr ;;
    line_reader) seed_lines "$out" $'\x10' tests/tts/data/prosa.txt
      { printf '\x05'; printf 'HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc'; } >"$out/http" ;;
    http_answer) printf '\x07HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: text/plain\r\n\r\nabcde' >"$out/length"
      printf '\x03HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;x=1\r\nWiki\r\n5\r\npedia\r\n0\r\nT: 1\r\n\r\n' >"$out/chunked"
      printf '\x40HTTP/1.1 206 Partial\r\nContent-Range: bytes 10-14/15\r\nContent-Length: 5\r\n\r\n12345' >"$out/range"
      printf '\x10HTTP/1.0 302 Found\r\nLocation: http://x/y\r\n\r\nbody until close' >"$out/redirect" ;;
    key_script) cp data/demo/*.keys data/telinha/*.keys "$out"/ ;;
    tts_units) printf '\x01_ 50\nk 54 50 200\na 82 80 188\nz 69\na2 65 50 240\n_ 50' >"$out/lines" ;;
  esac
}

failed=()
for t in "${targets[@]}"; do
  corpus="$dir/corpus/$t"
  seed "$t" "$corpus"
  mkdir -p "$dir/crashes/$t"
  kept=()
  if [ -d "tests/fuzz/$t" ]; then kept=("tests/fuzz/$t"); fi
  echo "== $t: $seconds s =="
  log="$dir/crashes/$t/last-run.log"
  if nice -n 19 "$dir/bin/${t}_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$dir/crashes/$t/" ${ESCUTA_FUZZ_FLAGS:-} "$corpus" "${kept[@]}" \
      >"$log" 2>&1; then
    grep -aE '^stat::number_of_executed_units|^Done' "$log" | tr '\n' ' '
    echo
  else
    tail -n 40 "$log"
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz targets that failed: ${failed[*]} (inputs in $dir/crashes/)"
  exit 1
fi
