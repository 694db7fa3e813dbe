// Benchmark hook: with ZINDLE_REPORT_STARTUP set, each step of the start-up
// writes one line with its CLOCK_MONOTONIC time and the CPU time the process
// (all its threads) has used so far to standard error, so the launch benchmark
// can lay out where the time before the first frame goes.
// Without the variable a call costs one test of a cached flag.
#pragma once

// Writes "zindle: start-up STEP at SECONDS cpu MILLISECONDS" when the hook is on.
void reportStartupStep(const char* step);
