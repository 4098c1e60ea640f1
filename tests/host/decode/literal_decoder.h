// A plain, step-by-step LZHUF decoder: getc/putc for every byte, a 16-bit bit
// buffer, the tree walked one readBit at a time, and its own copy of the model
// rules. The tests compare the installer's decoder against it, and the benchmark
// uses it as the baseline.
#pragma once
#include <stdint.h>
#include <stdio.h>

// Same contract as decodeSegment, without progress reports. maxOutput bounds the
// bytes written (0: no bound), so that a broken header cannot run away in tests.
bool literalDecodeSegment(FILE *input, FILE *output, uint64_t maxOutput = 0);
