#!/usr/bin/env bash
# Runs the test suite once per hand-made fault listed in scripts/mutations.txt and counts
# the faults it catches ("killed") and misses ("survived").
#
#   scripts/mutation-test.sh [--check] <source tree> <build dir> [mutation list]
#
# Each entry is "<file>|<sed expression>"; the expression must change exactly one line.
# For each entry the file is changed, the build dir rebuilt (ninja -j2) and
# `ctest --stop-on-failure` run; a failed build counts as killed. The file is restored after
# every entry and on exit. --check only verifies that every entry applies to one line.
#
# The desktop backend and packaging tests (X11, Wayland, portal, tray, Linux services,
# macOS, installation) are left out so a run takes about a minute per entry; the faults
# listed are all in the core modules those tests do not aim at. Override with
# MUTATION_CTEST_EXCLUDE (empty: run everything). A build configured without the input
# backends and the tray (-DHOVRA_WITH_X11=OFF -DHOVRA_WITH_WAYLAND=OFF
# -DHOVRA_WITH_PORTAL=OFF -DHOVRA_WITH_QT=OFF) rebuilds far less per entry.
set -u

check_only=0
if [[ "${1:-}" == "--check" ]]; then
  check_only=1
  shift
fi
src=$(cd "${1:?source tree}" && pwd)
build=${2:?build dir}
list=${3:-$src/scripts/mutations.txt}
exclude=${MUTATION_CTEST_EXCLUDE-Installation|X11|Wayland|Portal|Tray|Linux|Mac}
timeout=${MUTATION_CTEST_TIMEOUT:-120}
[[ $check_only == 1 ]] || build=$(cd "$build" && pwd)

backup=""
target=""
restore() {
  if [[ -n "$backup" && -f "$backup" ]]; then
    cp "$backup" "$target"  # a new mtime, so the next build recompiles it
    rm -f "$backup"
  fi
  backup=""
}
trap restore EXIT INT TERM

# Applies one entry; sets `why` and fails when it does not change exactly one line.
apply() {
  local file=$1 expr=$2
  target="$src/$file"
  [[ -f "$target" ]] || { why="no such file"; return 1; }
  backup=$(mktemp)
  cp -p "$target" "$backup"
  sed -i -e "$expr" "$target"
  local changed
  changed=$(diff "$backup" "$target" | grep -c '^<')
  if [[ $changed != 1 ]]; then
    why="changes $changed lines, not 1"
    restore
    return 1
  fi
  touch "$target"
}

# The unchanged tree first: tests that fail without any fault (a missing service, a
# machine too loaded for a time limit) would count every fault as caught; they are left
# out of the runs and listed.
if [[ $check_only == 0 ]]; then
  ninja -C "$build" -j2 >/dev/null 2>&1 || { echo "the unchanged tree does not build"; exit 1; }
  base_start=$(date +%s)
  (cd "$build" && ctest -j2 --timeout "$timeout" ${exclude:+-E "$exclude"} >/tmp/mutation-base.$$ 2>&1)
  echo "unchanged tree: $(grep -m1 'tests passed' /tmp/mutation-base.$$) in $(($(date +%s) - base_start)) s"
  failing=$(sed -n '/tests FAILED:/,$p' /tmp/mutation-base.$$ | grep -oE ' - [^ ]+' | cut -c4-)
  rm -f /tmp/mutation-base.$$
  for t in $failing; do
    echo "left out, fails unchanged: $t"
    exclude="${exclude:+$exclude|}^$(printf '%s' "$t" | sed 's/[][().*+?^$|\\]/\\&/g')\$"
  done
fi

killed=0
survived=0
skipped=0
survivors=()
n=0
while IFS= read -r entry; do
  [[ -z "$entry" || "$entry" == \#* ]] && continue
  n=$((n + 1))
  file=${entry%%|*}
  expr=${entry#*|}
  why=""
  if ! apply "$file" "$expr"; then
    echo "[$n] SKIPPED ($why): $entry"
    skipped=$((skipped + 1))
    restore
    continue
  fi
  if [[ $check_only == 1 ]]; then
    restore
    echo "[$n] applies: $file"
    continue
  fi
  started=$(date +%s)
  if ! ninja -C "$build" -j2 >/tmp/mutation-build.$$ 2>&1; then
    verdict=killed
    how="build failed"
  elif (cd "$build" && ctest -j2 --stop-on-failure --timeout "$timeout" ${exclude:+-E "$exclude"} \
          >/tmp/mutation-ctest.$$ 2>&1); then
    verdict=survived
    how="all tests passed"
  else
    verdict=killed
    how=$(grep -m1 -E '\*\*\*Failed|\*\*\*Timeout|\(Failed\)|\(Timeout\)|Exception' \
            /tmp/mutation-ctest.$$ | sed 's/^ *//')
  fi
  restore
  if [[ $verdict == killed ]]; then
    killed=$((killed + 1))
  else
    survived=$((survived + 1))
    survivors+=("$entry")
  fi
  echo "[$n] ${verdict^^} ($(($(date +%s) - started)) s; $how): $entry"
done <"$list"
rm -f /tmp/mutation-build.$$ /tmp/mutation-ctest.$$

[[ $check_only == 1 ]] && { echo "skipped: $skipped"; exit $((skipped > 0)); }
# Leave the build matching the restored tree.
ninja -C "$build" -j2 >/dev/null 2>&1
echo
echo "killed: $killed  survived: $survived  skipped: $skipped  (of $n)"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
