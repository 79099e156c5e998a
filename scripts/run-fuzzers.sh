#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build-fuzz and runs each of them
# for SECONDS (default 60), PARALLEL (default 2) at a time, starting from the committed
# seeds in fuzz/corpus/<target>/. New inputs go to build-fuzz/corpus/<target>/ (the
# committed seeds are never changed); a finding is written to build-fuzz/artifacts/<target>/
# and makes the script fail.
#   scripts/run-fuzzers.sh                    # every target, 60 s each
#   SECONDS_EACH=600 scripts/run-fuzzers.sh   # the long run
#   scripts/run-fuzzers.sh receive base64     # some targets
#   FUZZ_ARGS='-fork=1 -ignore_crashes=1' ... # keep going past a known finding
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BUILD_FUZZ:-build-fuzz}
seconds=${SECONDS_EACH:-60}
parallel=${PARALLEL:-2}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(receive payloads dock_plist dock_description base64 version_compare notify_line)

flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -G Ninja -S . -B "$build" -DHOVRA_FUZZ=ON -DHOVRA_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" >/dev/null || exit 1
ninja -C "$build" $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null || { echo "run-fuzzers: build failed" >&2; exit 1; }

run_one() {
  local t=$1 corpus="$root/$build/corpus/$1" artifacts="$root/$build/artifacts/$1"
  mkdir -p "$corpus" "$artifacts"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$root/$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=${TIMEOUT_EACH:-30} -rss_limit_mb=2048 \
      -print_final_stats=1 ${FUZZ_ARGS:-} -artifact_prefix="$artifacts/" "$corpus" "$root/fuzz/corpus/$t" \
      >"$root/$build/fuzz-$t.log" 2>&1
  local rc=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$root/$build/fuzz-$t.log" | grep -o '[0-9]*$')
  if [ $rc -eq 0 ]; then
    printf '%-18s ok       %6ss %12s runs\n' "$t" "$seconds" "${runs:-?}"
  else
    printf '%-18s FINDING  see %s and %s\n' "$t" "$build/fuzz-$t.log" "$build/artifacts/$t/"
  fi
  return $rc
}

failed=0
pids=()
names=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  names+=("$t")
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    names=("${names[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done
exit $failed
