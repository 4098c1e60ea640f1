// The decoder against the literal decoder under the Windows C runtime, where
// getc/putc lock the stream on every call. Not part of the CMake build: the host
// build has no Windows runtime, and 32-bit Wine cannot run on every machine.
//   x86_64-w64-mingw32-g++ -Os -std=c++17 -I. -static -o msvcrt_compare.exe
//     bench/decode/msvcrt_compare.cpp decode/lzhuf.cpp decode/lzhuf_model.cpp
//     tests/host/decode/literal_decoder.cpp engine/feedback_none.cpp
//   wine64 msvcrt_compare.exe SEGMENT REPETITIONS SCRATCH_OUTPUT
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "decode/lzhuf.h"
#include "tests/host/decode/literal_decoder.h"

static double cpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return (double)(k.QuadPart + u.QuadPart) / 1e7;
}

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: msvcrt_compare SEGMENT REPETITIONS SCRATCH_OUTPUT\n");
        return 2;
    }
    // The runtime's process times tick in 10 ms or more: time whole series.
    int repetitions = atoi(argv[2]);
    double spent[2] = {0, 0};
    for (int literal = 0; literal < 2; ++literal) {
        double start = cpuSeconds();
        for (int r = 0; r < repetitions; ++r) {
            FILE *in = fopen(argv[1], "rb");
            FILE *out = fopen(argv[3], "wb");
            if (!in || !out)
                return 1;
            bool ok = literal ? literalDecodeSegment(in, out) : decodeSegment(in, out);
            fclose(out);
            fclose(in);
            if (!ok)
                return 1;
        }
        spent[literal] = (cpuSeconds() - start) / repetitions;
    }
    FILE *f = fopen(argv[3], "rb");
    fseek(f, 0, SEEK_END);
    double size = (double)ftell(f);
    fclose(f);
    printf("decoder %.1f MB/s, literal %.1f MB/s, ratio %.2f\n", size / spent[0] / 1e6,
           size / spent[1] / 1e6, spent[1] / spent[0]);
    return 0;
}
