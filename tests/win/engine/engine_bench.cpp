// Benchmark of a whole installation run under Wine, not a test: the engine's own
// time (integrity scan, then every pump step back to back without the wizard's
// 25 ms waits) next to reading the payload once and to decoding the same
// segments alone, file to file.
//   engine_bench PRODUCT_DIR PAYLOAD [ROUNDS]
#include "decode/lzhuf.h"
#include "engine/feedback.h"
#include "engine/payload.h"
#include "engine/placement.h"
#include "engine/pump.h"
#include "engine/session.h"
#include "tests/win/engine/fixture.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

double now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

void windowsPath(char *out, size_t capacity, const char *path)
{
    snprintf(out, capacity, "%s%s", path[0] == '/' ? "Z:" : "", path);
    for (char *p = out; *p; ++p)
        if (*p == '/')
            *p = '\\';
}

double best(const double *times, int count)
{
    double least = times[0];
    for (int i = 1; i < count; ++i)
        if (times[i] < least)
            least = times[i];
    return least;
}

}  // namespace

// The wizard's drawing is not part of the engine's cost: no-op feedback, with a
// realistic bar width so that the decoder reports progress as often as it would.
void setStatusText(const char *) {}
void updateStatusLine() {}
void drawOverallBar(DeviceContext, FILE *) {}
uint32_t fileBarWidth() { return 400; }
void drawFileBar(DeviceContext, uint32_t, uint32_t) {}
void clearFileBar() {}
void *showWaitCursor() { return nullptr; }
void restoreCursor(void *) {}

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 3) {
        printf("usage: engine_bench PRODUCT_DIR PAYLOAD [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 3 ? atoi(argv[3]) : 5;
    if (rounds < 1 || rounds > 50)
        rounds = 5;
    char product[MAX_PATH], payload[MAX_PATH];
    windowsPath(product, sizeof product, argv[1]);
    windowsPath(payload, sizeof payload, argv[2]);
    if (!loadFixture(product, payload)) {
        printf("cannot load %s and %s\n", product, payload);
        return 1;
    }
    CreateDirectoryA("C:\\bench", nullptr);
    size_t installed = 0;
    for (const Bytes &file : productFiles)
        installed += file.size;
    char segmentPaths[10][MAX_PATH];
    for (int slot = 0; slot < 10; ++slot) {
        snprintf(segmentPaths[slot], MAX_PATH, "C:\\bench\\segment%d.bin", slot);
        writeAll(segmentPaths[slot], segments[slot].data, segments[slot].size);
    }

    double scan[50], pump[50], read[50], decode[50];
    int steps = 0;
    for (int round = 0; round < rounds; ++round) {
        removeTree("C:\\bench\\Vorn");
        strcpy(session.destinationFolder, "C:\\bench\\Vorn");
        session.backupFiles = session.keepSettings = 0;
        resetSession();
        double start = now();
        if (createDestinationFolder() != Done || !openPayload()) {
            printf("run could not start\n");
            return 1;
        }
        double opened = now();
        int answer;
        steps = 0;
        do {
            answer = pumpStep();
            ++steps;
        } while (answer == Yield);
        double finished = now();
        if (answer != Done || session.slotIndex != 10) {
            printf("run failed: %d at slot %d\n", answer, session.slotIndex);
            return 1;
        }
        scan[round] = opened - start;
        pump[round] = finished - opened;

        // Reading the installer's file once, byte by byte as the pump does.
        start = now();
        FILE *self = fopen(session.installerPath, "rb");
        unsigned sum = 0;
        for (int byte; (byte = _getc_nolock(self)) != EOF;)
            sum += (unsigned)byte;
        fclose(self);
        read[round] = now() - start + (sum == 0xFFFFFFFFu ? 1 : 0);

        // The same ten segments decoded alone, file to file.
        start = now();
        for (int slot = 0; slot < 10; ++slot) {
            char target[MAX_PATH];
            snprintf(target, sizeof target, "C:\\bench\\decoded%d", slot);
            FILE *input = fopen(segmentPaths[slot], "rb");
            FILE *output = fopen(target, "wb");
            bool ok = input && output && decodeSegment(input, output);
            if (input)
                fclose(input);
            if (output)
                fclose(output);
            if (!ok) {
                printf("decode of slot %d failed\n", slot);
                return 1;
            }
        }
        decode[round] = now() - start;
    }
    printf("payload %s: %u bytes, %u bytes installed, %d pump steps\n", payload,
           (unsigned)payloadBytes.size, (unsigned)installed, steps);
    printf("best of %d rounds, in ms:\n", rounds);
    printf("  integrity scan (openPayload)      %8.1f\n", best(scan, rounds));
    printf("  pump steps back to back           %8.1f\n", best(pump, rounds));
    printf("  whole run (scan + pump)           %8.1f\n", best(scan, rounds) + best(pump, rounds));
    printf("  reading the installer once        %8.1f\n", best(read, rounds));
    printf("  decoding the ten segments alone   %8.1f\n", best(decode, rounds));
    removeTree("C:\\bench");
    return 0;
}
