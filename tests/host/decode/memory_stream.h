// stdio streams over memory for the tests (glibc's fopencookie): an input that
// hands out at most `chunk` bytes a read and can fail, and an output that can
// refuse writes after a given number of bytes.
#pragma once
#include <stdio.h>
#include <stdint.h>

#include <vector>

struct MemoryInput {
    std::vector<uint8_t> data;
    size_t offset = 0;
    size_t chunk = 0;            // 0: as much as asked for
    long failAt = -1;            // reads fail once offset reaches it (-1: never)
};

struct MemoryOutput {
    std::vector<uint8_t> data;
    long capacity = -1;          // writes fail beyond this many bytes (-1: no limit)
};

// Both streams are opened unbuffered where failures are wanted, so that a
// failure surfaces at the byte that meets it.
FILE *openInput(MemoryInput &input);
FILE *openOutput(MemoryOutput &output);
