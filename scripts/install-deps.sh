#!/usr/bin/env bash
# Installs the Debian packages Lumetra builds and tests with, when any is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  # Qt Charts' CMake package needs Qt6OpenGL's (libqt6opengl6-dev); DejaVu draws the Cyrillic chart texts;
  # Liberation Sans, with Arial's widths, draws the window's Windows fonts so that captions fit their places.
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core fonts-liberation2
  libjpeg62-turbo-dev libcli11-dev nlohmann-json3-dev
  # The records cache (Lumetra_Records.db); sqlite3 lets the tests and a person look into it.
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev libbenchmark-dev
  libimage-exiftool-perl exiv2 hyperfine time libexif-dev
  xvfb xauth xdotool imagemagick jq openbox x11-utils
  # The Debian package: built with dpkg-deb, Depends from dpkg-shlibdeps, checked as distributions check.
  dpkg-dev lintian desktop-file-utils appstream man-db
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]} > 0)); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
