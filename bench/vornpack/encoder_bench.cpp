// Encoder throughput (MB/s of input) and compressed size for each parse mode, on
// a Windows binary of about 1.7 MB and about 2 MB of English text. Set
// VORN_BENCH_PRODUCT to a product folder to also time a whole payload build.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tools/commands.h"
#include "tools/encoder.h"
#include "tools/files.h"

using namespace vornpack;

namespace {

std::vector<uint8_t> readOrEmpty(const std::string &path)
{
    try {
        return readWholeFile(path);
    } catch (const ToolError &) {
        return {};
    }
}

// A 32-bit Windows DLL near 1.7 MB from Wine's library.
const std::vector<uint8_t> &windowsBinary()
{
    static std::vector<uint8_t> data = [] {
        for (const char *path : {"/usr/lib/i386-linux-gnu/wine/i386-windows/vbscript.dll",
                                 "/usr/lib/i386-linux-gnu/wine/i386-windows/cryptui.dll",
                                 "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/dsound.dll"}) {
            std::vector<uint8_t> bytes = readOrEmpty(path);
            if (bytes.size() > 1000000) {
                fprintf(stderr, "binary: %s, %zu bytes\n", path, bytes.size());
                return bytes;
            }
        }
        fprintf(stderr, "binary: no Wine DLL found, using this benchmark's own executable\n");
        return readOrEmpty("/proc/self/exe");
    }();
    return data;
}

// The system's licence texts in name order, repeated up to 2 MiB: English
// prose, and the same on every machine with the same base system.
const std::vector<uint8_t> &englishText()
{
    static std::vector<uint8_t> data = [] {
        std::vector<std::string> paths;
        if (DIR *dir = opendir("/usr/share/common-licenses")) {
            while (dirent *entry = readdir(dir))
                if (entry->d_name[0] != '.')
                    paths.push_back(std::string("/usr/share/common-licenses/") + entry->d_name);
            closedir(dir);
        }
        std::sort(paths.begin(), paths.end());
        std::vector<uint8_t> corpus;
        for (const std::string &path : paths) {
            std::vector<uint8_t> part = readOrEmpty(path);
            corpus.insert(corpus.end(), part.begin(), part.end());
        }
        const size_t wanted = 2 * 1024 * 1024;
        std::vector<uint8_t> bytes;
        while (!corpus.empty() && bytes.size() < wanted)
            bytes.insert(bytes.end(), corpus.begin(), corpus.end());
        bytes.resize(std::min(bytes.size(), wanted));
        fprintf(stderr, "text: %zu bytes of licence texts\n", bytes.size());
        return bytes;
    }();
    return data;
}

const std::vector<uint8_t> &input(const std::string &kind)
{
    return kind == "binary" ? windowsBinary() : englishText();
}

std::map<std::string, size_t> &compressedSizes()
{
    static std::map<std::string, size_t> sizes;
    return sizes;
}

void BM_Encode(benchmark::State &state, const char *kind, ParseMode mode, const char *modeName)
{
    const std::vector<uint8_t> &data = input(kind);
    if (data.empty()) {
        state.SkipWithError("no input");
        return;
    }
    EncodeOptions options;
    options.mode = mode;
    size_t compressed = 0;
    for (auto _ : state) {
        std::vector<uint8_t> segment = encodeSegment(data.data(), data.size(), options);
        compressed = segment.size();
        benchmark::DoNotOptimize(segment.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
    state.counters["input"] = double(data.size());
    state.counters["compressed"] = double(compressed);
    state.counters["ratio%"] = 100.0 * double(compressed) / double(data.size());
    compressedSizes()[std::string(kind) + " " + modeName] = compressed;
}

void BM_BuildProduct(benchmark::State &state, ParseMode mode, const char *modeName)
{
    const char *product = getenv("VORN_BENCH_PRODUCT");
    if (!product) {
        state.SkipWithError("VORN_BENCH_PRODUCT not set");
        return;
    }
    EncodeOptions options;
    options.mode = mode;
    size_t size = 0;
    for (auto _ : state)
        size = buildPayload(product, options, true).size();
    state.counters["payload"] = double(size);
    compressedSizes()[std::string("product ") + modeName] = size;
}

#define ENCODE(kind, mode)                                                              \
    BENCHMARK_CAPTURE(BM_Encode, kind##_##mode, #kind, ParseMode::mode, #mode)          \
        ->Unit(benchmark::kMillisecond)->MinTime(2.0)

ENCODE(binary, Optimal);
ENCODE(binary, Lazy);
ENCODE(binary, Greedy);
ENCODE(text, Optimal);
ENCODE(text, Lazy);
ENCODE(text, Greedy);
BENCHMARK_CAPTURE(BM_BuildProduct, Optimal, ParseMode::Optimal, "Optimal")
    ->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_BuildProduct, Greedy, ParseMode::Greedy, "Greedy")
    ->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // How much smaller each parse is than greedy longest-match.
    auto &sizes = compressedSizes();
    for (const char *kind : {"binary", "text", "product"}) {
        auto greedy = sizes.find(std::string(kind) + " Greedy");
        if (greedy == sizes.end())
            continue;
        for (const char *mode : {"Lazy", "Optimal"}) {
            auto other = sizes.find(std::string(kind) + " " + mode);
            if (other != sizes.end())
                printf("%-8s %-8s %9zu bytes, %5.2f%% smaller than greedy (%zu)\n", kind, mode,
                       other->second, 100.0 * (1.0 - double(other->second) / double(greedy->second)),
                       greedy->second);
        }
    }
    return 0;
}
