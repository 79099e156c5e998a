#!/usr/bin/env bash
# Installs the Debian packages that building and testing Hovra Server needs.
# Idempotent: installs only what is missing, so it is cheap to run before every build.
# Runs as root (or through sudo when it is available).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config      # the build
  libgtest-dev libgmock-dev             # unit and integration tests
  nlohmann-json3-dev                    # JSON: the simulated desktop's file, update answers
  libplist-dev                          # the Dock's property list (binary and XML)
  libpng-dev                            # icon images to PNG
  libssl-dev                            # MD5 of the client PIN
  libcurl4-openssl-dev                  # the update check's HTTP request
  netcat-openbsd                        # talking to the server by hand (see the README)
  libx11-dev libxtst-dev libxrandr-dev  # the x11 backend: XTEST input, XRandR monitors
  xvfb x11-xkb-utils x11-xserver-utils xkb-data  # the x11 tests: X server, layouts, monitors
  # The linux desktop backend (applications, Dock, windows, icons): GIO, librsvg for SVG
  # icons, libpulse (the backend is built only with all three).
  libglib2.0-dev librsvg2-dev libpulse-dev
  # Its workspace tests: glib-compile-schemas, the MIME database, a window manager with
  # EWMH, wmctrl and xprop for switching and reading windows, dbus-daemon for private
  # buses; the Dock benchmark reads Adwaita's SVG icons.
  libglib2.0-bin shared-mime-info openbox wmctrl x11-utils dbus adwaita-icon-theme
  # The Debian package (make package) and its test: dpkg-shlibdeps works out Depends; the
  # test checks the manual page (groff), desktop entry, unit (systemd-analyze) and icon.
  dpkg-dev file groff-base desktop-file-utils systemd
  # the wayland backend: client library, protocol code generator and XML, XKB keymaps
  libwayland-dev wayland-protocols libxkbcommon-dev
  sway                                  # the wayland tests: a headless compositor (run as "nobody")
  # the portal backend: GDBus; its tests: a private bus and a fake portal in Python
  python3-dbus python3-gi
  # the tray (--ui tray): Qt 6 widgets and SVG, GIO and xcb for its tray-host probe, a font
  # for the offscreen windows and screenshots; its tests run a private D-Bus daemon and a
  # StatusNotifierWatcher written with python3-dbus
  qt6-base-dev qt6-svg-dev libxcb1-dev fonts-dejavu-core
  # Its services: the volume click's player and sound; their tests' private sound server and
  # D-Bus fakes (logind, notifications, screen saver, media players).
  pulseaudio-utils sound-theme-freedesktop
  pulseaudio python3-dbusmock
  clang-format                          # the layout check of .ci/run (scripts/check-format.sh)
)
if [ "${HOVRA_WITH_BENCH:-0}" = 1 ]; then
  packages+=(libbenchmark-dev valgrind clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root to install ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
