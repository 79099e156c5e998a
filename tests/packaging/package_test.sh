#!/usr/bin/env bash
# What an installation delivers, checked from the outside (usage at the end).
# Exit status 0 passed, 1 failed, 77 skipped (with the reason printed).
set -uo pipefail

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null && continue
    echo "SKIP: $tool is not installed (scripts/install-deps.sh)"
    exit 77
  done
}
expect_equal() {  # what actual expected
  [ "$2" = "$3" ] || fail "$1: got [$2], expected [$3]"
}
words() { tr ' ,|' '\n\n\n' | sed '/^$/d' | sort -u | tr '\n' ' '; }
manual_warnings() { groff -man -ww -z 2>&1 >/dev/null; }

# The completion's candidates for a command line whose last word is being completed.
complete_line() {  # completion-file words...
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMPREPLY=()
           _hovra_server; printf "%s\n" "${COMPREPLY[@]}"' _ "$@" | words
}

# The names an option accepts, from the program's complaint about an unknown one.
accepted_names() {  # program option
  "$1" "$2" '?' 2>&1 | head -n 1 | sed -e "s/^hovra-server: $2 is //" -e 's/ or /, /' | words
}

# Whether a section of the manual page has an entry (a bold tag line) for NAME.
has_entry() {  # manual section name
  local escaped
  escaped=$(sed 's/-/\\\\-/g' <<<"$3")
  awk -v s="$2" '/^\.SH / {on = ($2 == s)} on' "$1" | grep -qE "^\.(B|BI|BR) \"?$escaped( |\"|\$)"
}

check_manual() {
  local program=$1 manual=$2 completion=$3
  need groff
  local help warnings options commands names actions
  help=$("$program" --help) || fail "$program --help failed"
  warnings=$(manual_warnings <"$manual")
  [ -z "$warnings" ] || fail "groff warns about $manual: $warnings"

  options=$(grep -oE -- '--[a-z][a-z-]*' <<<"$help" | words)
  commands=$(sed -n '/^Commands/,/^$/p' <<<"$help" | awk '/^  [a-z]/ {print $1}' | words)
  [ -n "$options" ] && [ -n "$commands" ] || fail "no options or commands found in --help"
  for entry in $(printf 'OPTIONS:%s ' $options) $(printf 'COMMANDS:%s ' $commands); do
    has_entry "$manual" "${entry%%:*}" "${entry#*:}" ||
      fail "the manual's ${entry%%:*} have no entry for ${entry#*:}"
  done

  expect_equal "completion of options" "$(complete_line "$completion" hovra-server --)" "$options"
  expect_equal "completion of commands" "$(complete_line "$completion" hovra-server '')" "$commands"
  for option in --input --desktop --ui --backend; do
    # The completion ships in the Linux package: the home platform's own names are not offered.
    names=$(accepted_names "$program" "$option" | sed 's/macos //')
    expect_equal "completion of $option" "$(complete_line "$completion" hovra-server "$option" '')" "$names"
    expect_equal "completion of $option=" \
      "$(complete_line "$completion" hovra-server --port 9 "$option" = '')" "$names"
  done
  for command in password autostart; do
    actions=$(grep -oE "^  $command [a-z|]+" <<<"$help" | cut -d' ' -f4 | words)
    expect_equal "completion after $command" \
      "$(complete_line "$completion" hovra-server --port 9 "$command" '')" "$actions"
    expect_equal "completion after $command's action" \
      "$(complete_line "$completion" hovra-server "$command" on '')" ""
  done
}

readonly PACKAGE_FILES="usr/bin/hovra-server
usr/lib/systemd/user/hovra-server.service
usr/share/applications/hovra-server.desktop
usr/share/bash-completion/completions/hovra-server
usr/share/icons/hicolor/scalable/apps/hovra-server.svg
usr/share/man/man1/hovra-server.1.gz"

# Every library the program loads must come from a package that Depends names.
check_depends() {  # program depends-field
  local sonames holders depended soname owners patterns
  sonames=$(readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  depended=$(tr ',|' '\n\n' <<<"$2" | sed 's/^ *//; s/[ :].*//')
  # One query for all of them ("pkg:arch, pkg:arch: /path" lines).
  mapfile -t patterns < <(sed 's|^|*/|' <<<"$sonames")
  holders=$(dpkg -S "${patterns[@]}" 2>/dev/null)
  for soname in $sonames; do
    owners=$(awk -v so="/$soname" 'substr($NF, length($NF) - length(so) + 1) == so' <<<"$holders" |
      sed 's|: /.*||; s/, /\n/g' | sed 's/:.*//' | sort -u)
    [ -n "$owners" ] || { fail "no installed package holds $soname"; continue; }
    grep -qxF "$owners" <<<"$depended" ||
      fail "Depends names none of [${owners//$'\n'/ }] for $soname: $2"
  done
}

check_tree() {  # root prefix version
  local root=$1 prefix=$2 version=$3
  local tree=$root$prefix program=$root$prefix/bin/hovra-server
  for file in $PACKAGE_FILES; do
    [ -f "$tree/${file#usr/}" ] || fail "missing $prefix/${file#usr/}"
  done
  expect_equal "$prefix: --version" "$("$program" --version)" "hovra-server $version"
  "$program" --help | head -n 1 | grep -q '^usage: hovra-server' || fail "$prefix: --help"

  local unit=$tree/lib/systemd/user/hovra-server.service
  grep -qx "ExecStart=$prefix/bin/hovra-server --hidden" "$unit" || fail "ExecStart in $unit"
  # Verified as systemd would load it, with ExecStart on the unpacked program.
  local copy=$scratch/hovra-server.service verdict warnings
  local entry=$tree/share/applications/hovra-server.desktop
  sed "s|^ExecStart=$prefix|ExecStart=$tree|" "$unit" >"$copy"
  verdict=$(systemd-analyze verify --man=no "$copy" 2>&1) && [ -z "$verdict" ] ||
    fail "systemd-analyze: $verdict"

  warnings=$(desktop-file-validate "$entry" 2>&1) && [ -z "$warnings" ] ||
    fail "desktop-file-validate: $warnings"
  grep -qx "Exec=hovra-server" "$entry" || fail "Exec in $entry"
  grep -qx "Icon=hovra-server" "$entry" || fail "Icon in $entry"
  expect_equal "icon type" "$(file -b --mime-type "$tree/share/icons/hicolor/scalable/apps/hovra-server.svg")" \
    "image/svg+xml"

  warnings=$(gzip -dc "$tree/share/man/man1/hovra-server.1.gz" | manual_warnings)
  [ -z "$warnings" ] || fail "groff warns about the installed manual page: $warnings"
  bash -c 'source "$1" && complete -p hovra-server' _ \
    "$tree/share/bash-completion/completions/hovra-server" >/dev/null ||
    fail "the installed completion does not register for hovra-server"
}

check_package() {
  local build=$1 cmake=$2 cpack=$3 version=$4
  need dpkg-deb dpkg-shlibdeps readelf file gzip groff desktop-file-validate systemd-analyze
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT

  if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    fail "cpack -G DEB failed"
    return
  fi
  local debs=("$scratch"/out/*.deb)
  [ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { fail "cpack made ${debs[*]}"; return; }
  local deb=${debs[0]}

  expect_equal "Package" "$(dpkg-deb -f "$deb" Package)" "hovra-server"
  expect_equal "Version" "$(dpkg-deb -f "$deb" Version)" "$version"
  expect_equal "Section" "$(dpkg-deb -f "$deb" Section)" "net"
  dpkg-deb -f "$deb" Maintainer | grep -qE '^[^<]+ <[^@ ]+@[^> ]+>$' || fail "Maintainer"
  [ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || fail "no long Description"
  local files
  files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub("^\\./", "", $6); print $6}' | sort)
  expect_equal "files in the package" "$files" "$PACKAGE_FILES"

  dpkg -x "$deb" "$scratch/root" || fail "dpkg -x"
  check_depends "$scratch/root/usr/bin/hovra-server" "$(dpkg-deb -f "$deb" Depends)"
  check_tree "$scratch/root" /usr "$version"

  # The install rules on their own, into a staging root as a distribution would use them.
  DESTDIR=$scratch/staged "$cmake" --install "$build" --prefix /usr/local >"$scratch/install.log" 2>&1 ||
    { cat "$scratch/install.log"; fail "cmake --install"; return; }
  check_tree "$scratch/staged" /usr/local "$version"
}

case ${1:-} in
  manual) check_manual "$2" "$3" "$4" ;;
  package) check_package "$2" "$3" "$4" "$5" ;;
  *) echo "usage: $0 manual PROGRAM MANUAL COMPLETION | package BUILD CMAKE CPACK VERSION" >&2; exit 2 ;;
esac
[ $failures = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "passed"
