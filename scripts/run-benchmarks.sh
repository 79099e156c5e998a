#!/usr/bin/env bash
# Runs every benchmark and prints one table (figure, value, target, verdict):
#   - micro-benchmarks (Google Benchmark): framing, payload readers, command lookup, Base64;
#   - the real server over loopback (journal "none"): latency against a bare echo server,
#     throughput of one client's frames, 1,000 busy then idle clients;
#   - the server's instructions per "mos" frame, counted with callgrind;
#   - the Linux desktop: "get_dock_info" and 40 SVG icons, cold and warm;
#   - PIN guesses an attacker gets checked from 1 and 64 loopback sources, over a day.
# Takes about two minutes; run it on a quiet machine.
#   scripts/run-benchmarks.sh            (or: make bench)
#   QUICK=1 scripts/run-benchmarks.sh    smaller counts, for trying the tools out
#   BEFORE_REF=<commit> make bench       the load figures of that commit's server too, side
#                                        by side (it is built in a temporary folder)
#   BEFORE_SERVER=<path> make bench      the same with a server binary already built
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_BENCH:-build-bench}
out=$(mktemp -d /tmp/hovra-bench-run-XXXXXX)
trap 'rm -rf "$out"' EXIT

cmake -G Ninja -S . -B "$build" -DHOVRA_BENCH=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" hovra-server hovra_load_bench hovra_micro_bench hovra_guess_bench >/dev/null

load_args=()
micro_time=0.3
guess_args=()
cg_small=50000
cg_large=250000
if [ "${QUICK:-0}" = 1 ]; then
  load_args=(--round-trips 2000 --frames 100000 --clients 200 --busy 2 --idle 3 --idle-clients 2000)
  micro_time=0.05
  guess_args=(--hours 6)
  cg_small=10000
  cg_large=30000
fi

echo "run-benchmarks: micro-benchmarks..." >&2
"$build/bench/hovra_micro_bench" --benchmark_format=csv --benchmark_min_time="$micro_time" 2>/dev/null |
  awk -F, 'NR > 1 && $1 != "" {
      name = $1; gsub(/"/, "", name); unit = $5; gsub(/"/, "", unit)
      extra = ""
      if ($7 != "") extra = sprintf(", %.1f M items/s", $7 / 1e6)
      else if ($6 != "") extra = sprintf(", %.0f MB/s", $6 / 1e6)
      printf "micro: %s\t%.1f %s%s\t-\t-\n", name, $4, unit, extra
    }' >"$out/micro.tsv"

echo "run-benchmarks: load (latency, throughput, many, hostile and idle clients; a few minutes)..." >&2
"$build/bench/hovra_load_bench" "${load_args[@]}" >"$out/load.tsv"

before_server=${BEFORE_SERVER:-}
if [ -z "$before_server" ] && [ -n "${BEFORE_REF:-}" ]; then
  echo "run-benchmarks: building the server of $BEFORE_REF..." >&2
  git archive "$BEFORE_REF" | tar -x -C "$out" --one-top-level=before
  cmake -G Ninja -S "$out/before" -B "$out/before/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  ninja -C "$out/before/build" hovra-server >/dev/null
  before_server="$out/before/build/hovra-server"
fi
if [ -n "$before_server" ]; then
  echo "run-benchmarks: the same load against $before_server..." >&2
  # Its verdicts do not decide this run's outcome.
  "$build/bench/hovra_load_bench" --server "$before_server" "${load_args[@]}" >"$out/before.tsv" || true
  # FIGURE, BEFORE, AFTER, TARGET, VERDICT (of the current server).
  awk -F'\t' -v OFS='\t' 'NR == FNR { before[$1] = $2; next }
      { print $1, ($1 in before ? before[$1] : "-"), $2, $3, $4 }' "$out/before.tsv" "$out/load.tsv" >"$out/joined.tsv"
  {
    printf 'FIGURE\tBEFORE\tAFTER\tTARGET\tVERDICT\n'
    cat "$out/joined.tsv"
  } | column -t -s $'\t'
  echo >&2
fi

instructions() {  # instructions the whole server runs for a stream of $1 frames
  local file="$out/callgrind.$1"
  "$build/bench/hovra_load_bench" --stream "$1" \
    --wrapper "valgrind --tool=callgrind --log-file=$out/valgrind.$1.log --callgrind-out-file=$file" >/dev/null
  grep -E '^(summary|totals):' "$file" | head -1 | awk '{print $2}'
}
echo "run-benchmarks: callgrind (instructions per frame)..." >&2
if command -v valgrind >/dev/null; then
  small=$(instructions "$cg_small")
  large=$(instructions "$cg_large")
  awk -v s="$small" -v l="$large" -v ns="$cg_small" -v nl="$cg_large" 'BEGIN {
      printf "callgrind: instructions per \"mos\" frame\t%.0f\t-\t-\n", (l - s) / (nl - ns) }' >"$out/callgrind.tsv"
else
  printf 'callgrind: instructions per "mos" frame\tvalgrind not installed\t-\t-\n' >"$out/callgrind.tsv"
fi

echo "run-benchmarks: PIN guessing from 1 and 64 sources (a simulated day each, a minute)..." >&2
"$build/bench/hovra_guess_bench" "${guess_args[@]}" 2>/dev/null >"$out/guess.tsv"

{
  printf 'FIGURE\tVALUE\tTARGET\tVERDICT\n'
  cat "$out/load.tsv" "$out/guess.tsv" "$out/callgrind.tsv" "$out/micro.tsv"
} | column -t -s $'\t'

# The x11 backend against the journal, posting into a private Xvfb (when Xvfb is there).
if command -v Xvfb >/dev/null && ninja -C "$build" bench_x11 >/dev/null 2>&1; then
  echo >&2
  echo "run-benchmarks: x11 backend against the journal, under Xvfb..." >&2
  "$build/bench/x11/bench_x11"
fi
# The Linux desktop's Dock and icons from a real theme's SVG files (when it is built).
if ninja -C "$build" bench_linux_dock >/dev/null 2>&1; then
  echo >&2
  echo "run-benchmarks: linux desktop, Dock and icons (cold and warm)..." >&2
  "$build/bench/linux/bench_linux_dock" | tee "$out/linux.tsv" | column -t -s $'\t'
fi
# The wayland backend against the journal, posting into a private headless sway.
if command -v sway >/dev/null && ninja -C "$build" bench_wayland >/dev/null 2>&1; then
  echo >&2
  echo "run-benchmarks: wayland backend against the journal, under headless sway..." >&2
  "$build/bench/wayland/bench_wayland"
fi
# The linux desktop's volume command against a private PulseAudio server.
if command -v pulseaudio >/dev/null && ninja -C "$build" bench_linux_volume >/dev/null 2>&1; then
  echo >&2
  echo "run-benchmarks: linux desktop volume, against a private PulseAudio server..." >&2
  volume_args=()
  [ "${QUICK:-0}" = 1 ] && volume_args=(--commands 100)
  "$build/bench/linux/bench_linux_volume" "${volume_args[@]}" | column -t -s $'\t'
fi
! grep -q 'MISSED' "$out/load.tsv" "$out/guess.tsv"
