// FuzzCheck.h — what the fuzz targets assert beyond the sanitizers: a
// broken property aborts, so libFuzzer keeps the input as a finding.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                      \
    do {                                                                           \
        if (!(condition)) {                                                        \
            fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                               \
        }                                                                          \
    } while (0)
