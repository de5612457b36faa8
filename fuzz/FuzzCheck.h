#pragma once
// A property that does not hold ends the run, so that libFuzzer keeps the input and reports it.
#include <cstdlib>

inline void Check(bool condition) {
    if (!condition)
        std::abort();
}
