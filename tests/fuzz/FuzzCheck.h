#pragma once
#include <cstdio>
#include <cstdlib>

// A fuzzer's assertion: it aborts, so libFuzzer keeps the input, also in a
// build without assertions.
#define Check(condition)                                                         \
  do {                                                                           \
    if (!(condition)) {                                                          \
      std::fprintf(stderr, "check failed, line %d: %s\n", __LINE__, #condition); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)
