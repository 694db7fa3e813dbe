#!/usr/bin/env bash
# Installs what is missing, builds the program and its benchmarks optimised
# into build-bench/, and prints every speed and memory figure beside its
# budget. Each benchmark reports medians of several runs; all of them run on
# one virtual X display with Mesa's software renderer, one after the other.
# The exit code is 0 only if every budget is met.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=${ZINDLE_BENCH_DIR:-$top/build-bench}
install_deps --tests
cmake_configure "$build" -DCMAKE_BUILD_TYPE=Release -DZINDLE_TESTS=OFF -DZINDLE_BENCH=ON
cmake_build "$build" zindle texture_bench alloc_bench frame_bench refresh_bench launch_bench launch_floor \
  picture_bench cpu_bench count_frames sound_render_bench sound_probe record_clock bounce_times zindle_startup_marks

cd "$build"
status=0
on_display bash -c '
  status=0
  run() { echo; echo "== $1"; shift; "$@" || status=1; }
  run "start-up textures" ./bench/texture_bench
  run "allocations" ./bench/alloc_bench
  run "frame rate and memory" ./bench/frame_bench
  run "smoothness at other refresh rates" ./bench/refresh_bench
  run "launch" ./bench/launch_bench ./zindle ./bench/launch_floor
  run "largest splash pictures" ./bench/picture_bench ./zindle
  run "CPU while playing and minimized" ./bench/cpu_bench ./zindle ./bench/libcount_frames.so
  run "the audio path" ./bench/sound_render_bench
  exit $status
' || status=$?
# The sound heard: a sound server and an X server of its own, in namespaces
# of its own (it needs to be root, as the tests that start servers).
echo
echo "== sound at a private sound server"
bash "$top/bench/sound_bench.sh" "$build" || status=1
echo
if [ "$status" = 0 ]; then echo "every budget met"; else echo "SOME BUDGET MISSED"; fi
exit "$status"
