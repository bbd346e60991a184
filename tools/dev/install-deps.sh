#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with.
# Quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-ttf-dev libfontconfig-dev libx11-dev fonts-dejavu-core
  libncurses-dev tmux
  libsndfile1-dev libssl-dev nlohmann-json3-dev
  libjpeg62-turbo-dev libpng-dev libfluidsynth-dev timgm6mb-soundfont
  xvfb xauth
  libxtst-dev openbox x11-xkb-utils
  brltty libbrlapi-dev xbrlapi
  libatspi2.0-dev at-spi2-core dbus-daemon python3-gi gir1.2-gtk-3.0
  espeak-ng libespeak-ng-dev wbrazilian
  libspeechd-dev speech-dispatcher speech-dispatcher-espeak-ng pulseaudio pulseaudio-utils
  tcl locales
  nginx-light curl
  clang libclang-rt-14-dev
  p7zip-full
  mpv
  procps
  python3
  scdoc desktop-file-utils shared-mime-info
  sox python3-numpy python3-scipy
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
