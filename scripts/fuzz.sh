#!/usr/bin/env bash
# Fuzzes the toy's own picture reading (fuzz/): builds the fuzz targets with
# clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ (or ZINDLE_FUZZ_DIR), apart from the product's build.
#
#   fuzz.sh --check      every target over its corpus, then fuzzed for a few
#                        seconds, two at a time: about a minute in all. Fails
#                        on any crash, leak, hang or allocation past the limits
#                        below. The committed corpus is left as it is.
#   fuzz.sh --hours N    a campaign of N hours (fractions allowed), all targets
#                        at once; what adds coverage is merged into
#                        fuzz/corpus/, and what failed is kept in
#                        build-fuzz/findings/.
# shellcheck source=scripts/lib.sh
source "$(dirname "$0")/lib.sh"
build=${ZINDLE_FUZZ_DIR:-$top/build-fuzz}
targets=(picture gif bmp jpeg png)

mode=${1:-}
case "$mode" in
  --check) ;;
  --hours) hours=${2:?"usage: fuzz.sh --hours N"} ;;
  *) echo "usage: fuzz.sh --check | --hours N" >&2; exit 2 ;;
esac

install_deps --tests
cmake_configure -S "$top/fuzz" "$build" -DCMAKE_CXX_COMPILER=clang++
cmake_build "$build"
# One dictionary for the target that reads every format.
cat "$top"/fuzz/{jpeg,png,gif,bmp}.dict >"$build/picture.dict"

# Limits, from what the toy itself allows. Measured under this build with
# build-fuzz/measure_picture at the splash's 1024x768: a 100-megapixel picture
# of each format asks at most 6 MB in one block and 6 MB in all (JPEG; PNG,
# GIF and BMP 3 MB); the widest the canvas allows, 1,000,000 x 100, 7.6 MB and
# 20 MB in all (PNG: libpng's rows); the largest progressive JPEG that
# libjpeg's 40 MB budget admits (DecodeJpeg.cpp; 12 megapixels here, 16 are
# refused) 23 MB and 37 MB in all. PictureFile never holds the file.
#  - One block: 64 MB, above libjpeg's whole budget, which a progressive
#    file's coefficients may ask as a single block.
#  - Resident: 384 MB: the fuzzer and sanitizers' own 35 MB, ASan's
#    quarantine of freed blocks (held to 64 MB here; 127 MB in all after a
#    check's 20 s), the toy's 64 MB at most, and room for the allocator's
#    retained pages and the growing corpus; a 100-megapixel picture held
#    whole (400 MB) or a leak of a few canvases trips it.
#  - Time: the costliest pictures take 2 to 4 s of CPU under the sanitizers
#    (100 megapixels: GIF 3.8 s, PNG 2.2 s, BMP 1.8 s), and so do the costliest
#    inputs the fuzzer can write (a 51-byte GIF whose screen is 100
#    megapixels, a 12 KB PNG of 100 megapixels at one bit: 1.7 s). The timeout
#    is on the clock, which a busy machine stretches tenfold; a hang never
#    ends. The inputs may grow to 16 KB, enough for such a PNG.
limits=(-malloc_limit_mb=64 -rss_limit_mb=384 -timeout=60 -max_len=16384)
export ASAN_OPTIONS=detect_leaks=1:quarantine_size_mb=64
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

dictionary() {
  if [ "$1" = picture ]; then echo "$build/picture.dict"; else echo "$top/fuzz/$1.dict"; fi
}

if [ "$mode" = --check ]; then
  seconds=${ZINDLE_FUZZ_SECONDS:-20}
  rm -rf "$build/check"
  mkdir -p "$build/check"
  # New inputs go to check/TARGET, not to the committed corpus.
  run_one() {
    local target=$1 log=$build/check/$1.log
    mkdir -p "$build/check/$target"
    if "$build/${target}_fuzzer" "$build/check/$target" "$top/fuzz/corpus/$target" "${limits[@]}" \
      -dict="$(dictionary "$target")" -max_total_time="$seconds" -artifact_prefix="$build/check/$target-" \
      >"$log" 2>&1; then
      echo "fuzz: $target: $(grep -E '^#[0-9]+' "$log" | tail -1)"
    else
      echo "fuzz: $target FAILED (the whole log is $log):" >&2
      local report
      report=$(grep -E -A30 '^==[0-9]+==|runtime error|breaks its promise|ALARM|out-of-memory|leak' "$log" || true)
      sed -n 1,60p <<<"$report" >&2
      return 1
    fi
  }
  # Two at a time on two cores: about a minute for the five.
  running=0 failed=0
  for target in "${targets[@]}"; do
    if [ $running -ge "$(nproc)" ]; then
      wait -n || failed=1
      running=$((running - 1))
    fi
    run_one "$target" &
    running=$((running + 1))
  done
  while [ $running -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
  done
  [ $failed -eq 0 ] || { echo "fuzz: a target failed; what failed is in $build/check/" >&2; exit 1; }
  echo "fuzz: every target ran over its corpus and fuzzed for ${seconds} s without a fault"
  exit 0
fi

seconds=$(python3 -c "print(int(float('$hours') * 3600))")
campaign=$build/campaign
findings=$build/findings
mkdir -p "$findings"
pids=()
for target in "${targets[@]}"; do
  mkdir -p "$campaign/$target"
  # Forked children keep going past a failure, which is kept in findings/.
  nice "$build/${target}_fuzzer" "$campaign/$target" "$top/fuzz/corpus/$target" "${limits[@]}" \
    -dict="$(dictionary "$target")" -max_total_time="$seconds" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
    -ignore_ooms=1 -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$campaign/$target.log" 2>&1 &
  pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
  wait "$pid" || status=1
done
# What adds coverage joins the committed corpus, smallest inputs first.
for target in "${targets[@]}"; do
  "$build/${target}_fuzzer" -merge=1 "${limits[@]}" "$top/fuzz/corpus/$target" "$campaign/$target" \
    >"$campaign/$target-merge.log" 2>&1 || status=1
  echo "fuzz: $target: $(grep -E '^#[0-9]+' "$campaign/$target.log" | tail -1)"
  echo "fuzz: $target: $(grep -E 'MERGE-OUTER: [0-9]+ new files' "$campaign/$target-merge.log" || true)"
done
# Inputs that were only slow (on a busy machine) are kept but are no failure.
found=$(find "$findings" -type f ! -name "*slow-unit-*" | wc -l)
echo "fuzz: $found findings in $findings"
[ "$found" -eq 0 ] && [ $status -eq 0 ]
