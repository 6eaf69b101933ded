#!/usr/bin/env bash
# Installs the Debian packages Ralvek needs (only those missing), then configures and builds.
# Idempotent: a second run installs nothing and rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-odbc
  libsqlite3-dev sqlite3 libicu-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc
  fonts-ipaexfont poppler-utils locales qt6-translations-l10n libcairo2-dev libfreetype-dev libdeflate-dev
  cups printer-driver-cups-pdf
  ibus ibus-mozc xvfb xdotool dbus-x11 procps python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  # RALVEK_CMAKE_ARGS: further settings of a new build folder (./test --sanitize).
  read -r -a EXTRA <<< "${RALVEK_CMAKE_ARGS:-}"
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${LAUNCHER[@]}" \
    "${EXTRA[@]}"
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
