#!/usr/bin/env bash
# Records what the toy plays, for docs/: a throw of "A" with its name
# (docs/sound-throw.wav) and the space bar's forty cubes (docs/sound-space.wav),
# heard in real time at a private PipeWire null sink with the whole-program
# tests' own set-up, and prints what the sound probe measures of each. Needs a
# build with tests (build/, or ZINDLE_BUILD_DIR) and root, as those tests do.
#
# Usage: record-sound.sh   (run from anywhere; writes into docs/)
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
install_deps --tests
install_packages sox
build=${ZINDLE_BUILD_DIR:-$top/build}
[ -x "$build/zindle" ] || { echo "record-sound: build the toy with its tests first ($build/zindle)" >&2; exit 2; }
exec env ZINDLE_SOURCE_DIR="$top" ZINDLE_BINARY_DIR="$build" RECORD_INTO="$top/docs" \
  bash "$top/tests/linux_toy/sound_recording.sh" "$build/zindle"
