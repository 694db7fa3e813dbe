// What the counting shim (bench/shim/count_frames.cpp, preloaded into the
// real toy) shares with the benchmark that started the toy: a small file,
// named by ZINDLE_BENCH_COUNTERS, mapped by both.
#pragma once

#include <atomic>
#include <cstdint>

namespace bench {

struct ToyCounters {
    std::atomic<std::int64_t> swaps{0};
    // The refresh rate SDL reported to the toy, before any change the shim
    // makes to it; -1 until asked.
    std::atomic<int> reportedRate{-1};
};

} // namespace bench
