// The fuzz targets' own checks: a broken rule is named on stderr and ends the
// run as a crash, with the input kept.
#pragma once

#include <cstdio>

#define FUZZ_REQUIRE(condition)                                                    \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                            \
    }                                                                              \
  } while (false)
