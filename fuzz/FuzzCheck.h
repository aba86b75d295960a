// What every fuzz target shares: a property check that stops the run loudly, so that the fuzzer keeps the
// input as a finding, and the entry points each target defines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Stops the process with a message when a property does not hold. The fuzzer treats the abort as a
// crash and saves the input; the replay of saved inputs in the test suite fails the same way.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::fflush(stderr);                                                                  \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

// A target's own reference readers and bookkeeping, built without the fuzzer's coverage tracing. Their
// branches mirror the game's code, which stays traced; tracing each byte through them as well only makes
// every run slower and teaches the fuzzer nothing about the game. The sanitizers still check them.
#if defined(__clang__)
#define FUZZ_UNTRACED __attribute__((no_sanitize("coverage")))
#else
#define FUZZ_UNTRACED
#endif

// The entry points of a target, as libFuzzer calls them (and the replay program in the test suite).
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
