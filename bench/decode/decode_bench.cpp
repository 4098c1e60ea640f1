// Decoder and scan throughput, file to file through stdio, on a Windows binary of
// about 1.7 MB and about 2 MB of text. The literal decoder runs in the same process
// as the baseline; throughput is decoded output (decoder) or file size (scan).
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "decode/lzhuf.h"
#include "engine/container.h"
#include "engine/session.h"
#include "tests/host/decode/literal_decoder.h"

#ifdef VORN_HAVE_ENCODER
#include "tools/encoder.h"
#else
#include "tests/host/decode/stream_writer.h"
#endif

namespace {

std::vector<uint8_t> readFile(const std::string &path)
{
    std::vector<uint8_t> data;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return data;
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
        data.insert(data.end(), buffer, buffer + n);
    fclose(f);
    return data;
}

bool writeFile(const std::string &path, const std::vector<uint8_t> &data)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && ok;
}

// A 32-bit Windows binary near 1.7 MB from Wine's library, else a 64-bit one,
// else the largest of them.
std::vector<uint8_t> windowsBinary(std::string *name)
{
    const char *candidates[] = {
        "/usr/lib/i386-linux-gnu/wine/i386-windows/vbscript.dll",
        "/usr/lib/i386-linux-gnu/wine/i386-windows/cryptui.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/cmd.exe",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/dsound.dll",
    };
    for (const char *path : candidates) {
        std::vector<uint8_t> data = readFile(path);
        if (data.size() > 1000000) {
            *name = path;
            return data;
        }
    }
    *name = "/proc/self/exe";
    return readFile("/proc/self/exe");
}

std::vector<std::string> sortedFiles(const std::string &folder)
{
    std::vector<std::string> paths;
    if (DIR *dir = opendir(folder.c_str())) {
        while (dirent *entry = readdir(dir))
            if (entry->d_name[0] != '.')
                paths.push_back(folder + "/" + entry->d_name);
        closedir(dir);
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// About 2 MB of English text: the licence texts, then package copyright files,
// in name order.
std::vector<uint8_t> text()
{
    const size_t wanted = 2 * 1024 * 1024;
    std::vector<uint8_t> data;
    for (const std::string &path : sortedFiles("/usr/share/common-licenses")) {
        std::vector<uint8_t> part = readFile(path);
        data.insert(data.end(), part.begin(), part.end());
    }
    for (const std::string &package : sortedFiles("/usr/share/doc")) {
        if (data.size() >= wanted)
            break;
        std::vector<uint8_t> part = readFile(package + "/copyright");
        data.insert(data.end(), part.begin(), part.end());
    }
    if (data.size() > wanted)
        data.resize(wanted);
    return data;
}

std::vector<uint8_t> encode(const std::vector<uint8_t> &data)
{
#ifdef VORN_HAVE_ENCODER
    return vornpack::encodeSegment(data.data(), data.size());
#else
    // Without the host tool's encoder: literals only, so the figures are not
    // representative of real payloads.
    StreamWriter writer((uint32_t)data.size());
    for (uint8_t b : data)
        writer.literal(b);
    return writer.bytes();
#endif
}

struct Input {
    std::string name;
    std::vector<uint8_t> original;
    std::string segmentPath;
    std::string outputPath;
};

std::vector<std::string> scratchFiles;   // removed at exit

std::string scratchPath(const char *what)
{
    std::string path = "/tmp/vorn-bench-" + std::to_string(getpid()) + "-" + what;
    scratchFiles.push_back(path);
    return path;
}

Input makeInput(const char *kind)
{
    Input in;
    if (strcmp(kind, "binary") == 0)
        in.original = windowsBinary(&in.name);
    else {
        in.original = text();
        in.name = "text";
    }
    in.segmentPath = scratchPath((std::string(kind) + ".seg").c_str());
    in.outputPath = scratchPath((std::string(kind) + ".out").c_str());
    writeFile(in.segmentPath, encode(in.original));
    return in;
}

Input &input(const char *kind)
{
    static Input binary = makeInput("binary");
    static Input text = makeInput("text");
    return strcmp(kind, "binary") == 0 ? binary : text;
}

typedef bool (*Decoder)(FILE *, FILE *);
bool literalDecoder(FILE *in, FILE *out) { return literalDecodeSegment(in, out); }

bool decodeFile(Decoder decoder, const Input &in)
{
    FILE *segment = fopen(in.segmentPath.c_str(), "rb");
    FILE *output = fopen(in.outputPath.c_str(), "wb");
    bool ok = segment && output && decoder(segment, output);
    if (segment)
        fclose(segment);
    if (output && fclose(output) != 0)
        ok = false;
    return ok;
}

void runDecode(benchmark::State &state, Decoder decoder, const char *kind)
{
    const Input &in = input(kind);
    if (!decodeFile(decoder, in) || readFile(in.outputPath) != in.original) {
        state.SkipWithError("decoded output differs from the original");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeFile(decoder, in));
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)in.original.size());
    state.SetLabel(in.name + ", " + std::to_string(in.original.size()) + " -> " +
                   std::to_string(readFile(in.segmentPath).size()) + " bytes");
}

void BM_Decode(benchmark::State &state, const char *kind) { runDecode(state, decodeSegment, kind); }
void BM_LiteralDecode(benchmark::State &state, const char *kind) { runDecode(state, literalDecoder, kind); }

// The two segments in a container, as the installer's scan reads it.
void BM_Scan(benchmark::State &state)
{
    resetSession();
    std::vector<uint8_t> file(4096, 'x');   // stands for the installer's code
    auto append = [&](const std::vector<uint8_t> &bytes) { file.insert(file.end(), bytes.begin(), bytes.end()); };
    const std::vector<uint8_t> marker(session.marker, session.marker + MARKER_LENGTH);
    append(marker);
    append(readFile(input("binary").segmentPath));
    append(marker);
    append(readFile(input("text").segmentPath));
    append(marker);
    append(marker);
    std::string path = scratchPath("container");
    writeFile(path, file);
    for (auto _ : state)
        benchmark::DoNotOptimize(scanPayloadCrc(path.c_str()));
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)file.size());
}

BENCHMARK_CAPTURE(BM_Decode, binary, "binary")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LiteralDecode, binary, "binary")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, text, "text")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LiteralDecode, text, "text")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string &path : scratchFiles)
        remove(path.c_str());
    return 0;
}
