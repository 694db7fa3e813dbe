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
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZINDLE_FUZZ_DIR:-$top/build-fuzz}
targets=(picture gif bmp jpeg png)

mode=${1:-}
case "$mode" in
  --check) ;;
  --hours) hours=${2:?"usage: fuzz.sh --hours N"} ;;
  *) echo "usage: fuzz.sh --check | --hours N" >&2; exit 2 ;;
esac

bash "$top/scripts/install-deps.sh" --tests
cmake -S "$top/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc)"
# One dictionary for the target that reads every format.
cat "$top"/fuzz/{jpeg,png,gif,bmp}.dict >"$build/picture.dict"

# Limits, from what the toy itself allows (figures from fuzz/measure_picture,
# see fuzz/README-limits below):
#  - a single block: the largest the toy asks for is libjpeg's own 40 MB
#    budget (DecodeJpeg.cpp) for a progressive file's coefficients; every
#    other block is a row or the reduced canvas, under 12 MB.
#  - resident memory: the fuzzer and sanitizers' own 40 MB or so, ASan's
#    quarantine of freed blocks (256 MB), and the toy's peak, under 64 MB.
#  - time: the costliest inputs the limits allow from a few bytes (a 51-byte
#    GIF whose screen is 100 megapixels, a 12 KB PNG of 100 megapixels at one
#    bit) take about 3 s under the sanitizers; five times that is a hang.
limits=(-malloc_limit_mb=64 -rss_limit_mb=512 -timeout=15 -max_len=16384)
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

dictionary() {
  if [ "$1" = picture ]; then echo "$build/picture.dict"; else echo "$top/fuzz/$1.dict"; fi
}

if [ "$mode" = --check ]; then
  seconds=${ZINDLE_FUZZ_SECONDS:-20}
  rm -rf "$build/check"
  mkdir -p "$build/check"
  run_one() {
    local target=$1
    mkdir -p "$build/check/$target"
    if "$build/${target}_fuzzer" "$build/check/$target" "$top/fuzz/corpus/$target" "${limits[@]}" \
      -dict="$(dictionary "$target")" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/check/$target-" >"$build/check/$target.log" 2>&1; then
      echo "fuzz: $target: $(grep -E '^#[0-9]+.*(DONE|cov:)' "$build/check/$target.log" | tail -1)"
    else
      echo "fuzz: $target FAILED; its log is $build/check/$target.log:" >&2
      grep -E -A25 '^==[0-9]+==|ERROR|runtime error|breaks its promise' "$build/check/$target.log" | head -60 >&2
      return 1
    fi
  }
  export -f run_one dictionary
  export build top seconds
  export limits_string="${limits[*]}"
  failed=0
  printf '%s\n' "${targets[@]}" |
    xargs -P "$(nproc)" -I{} bash -c 'limits=($limits_string); run_one {}' || failed=1
  [ $failed -eq 0 ] || { echo "fuzz: a target failed" >&2; exit 1; }
  echo "fuzz: every target ran over its corpus and fuzzed ${seconds} s without a fault"
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
found=$(find "$findings" -type f | wc -l)
echo "fuzz: $found findings in $findings"
[ "$found" -eq 0 ] && [ $status -eq 0 ]
