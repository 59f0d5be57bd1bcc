// Check.h -- how a fuzz target reports a broken promise: the message on
// stderr, then abort, so that the fuzzer keeps the input that broke it.
#pragma once
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void Check(bool Ok, const char *What)
{
  if (!Ok) {
    std::fprintf(stderr, "fuzz: %s\n", What);
    std::abort();
  }
}

} // namespace fuzz
