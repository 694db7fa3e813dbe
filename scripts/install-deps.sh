#!/usr/bin/env bash
# Installs the Debian 12 packages the toy and its tests need, if any are missing:
# the toy's (no argument), the toy's and every test's (--tests), or the Windows
# build's alone (--windows). ZINDLE_SKIP_INSTALL=1 (set by scripts/test.sh
# once it has installed everything) makes it do nothing.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"

runtime=(cmake g++ make pkg-config libsdl2-dev libjpeg62-turbo-dev libpng-dev libgl-dev libglu1-mesa-dev
         libgl1-mesa-dri libcairo2-dev libpango1.0-dev libfontconfig-dev libx11-dev libxrandr-dev
         libwayland-dev fonts-dejavu-core fonts-liberation2 xfonts-base
         libespeak-ng-dev libespeak-ng1 espeak-ng-data)
testing=(libgtest-dev zlib1g-dev libgif-dev xvfb xauth xdotool x11-utils x11-apps x11-xserver-utils imagemagick
         xserver-xorg-core xserver-xorg-video-dummy clang-format clang libclang-rt-14-dev fonts-urw-base35
         dbus mutter xfwm4 xfce4-panel openbox tint2 wmctrl xterm dbus-x11 dbus-daemon
         weston xwayland python3-gi gir1.2-glib-2.0 pipewire wireplumber clang-tidy shellcheck
         gstreamer1.0-pipewire gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-good
         build-essential debhelper lintian desktop-file-utils appstream
         pipewire-pulse pulseaudio-utils sox)
# The Windows build: mingw-w64 cross compilers, the picture libraries' Debian
# sources unpacked with dpkg-source, Wine to run its tests, NSIS for the installer.
windows=(cmake make dpkg-dev g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
         mingw-w64-tools libz-mingw-w64-dev wine wine64 nsis googletest zip)

case "${1:-}" in
  --tests) wanted=("${runtime[@]}" "${testing[@]}" "${windows[@]}") ;;
  --windows) wanted=("${windows[@]}") ;;
  *) wanted=("${runtime[@]}") ;;
esac

install_packages "${wanted[@]}"
