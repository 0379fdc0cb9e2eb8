// Locating the archive at the end of a 64 MiB file: FindFirst against glibc's memmem on the same
// buffer. Two fillings: random bytes (a first marker byte every 256 bytes on average) and text-like
// bytes (where the marker's first letter is frequent).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include "archive/archive.h"
#include "archive_marker.h"

namespace {

constexpr size_t kFileSize = size_t{64} << 20;
constexpr std::string_view kMarker = kArchiveMarkerText;

const std::vector<uint8_t>& File(int kind) {
    static std::vector<uint8_t> files[2];
    std::vector<uint8_t>& file = files[kind];
    if (file.empty()) {
        file.resize(kFileSize);
        std::mt19937_64 random(42);
        const char* text = "Marrow marsh gallop is a fox Mar gal ";
        for (size_t i = 0; i < kFileSize; ++i) {
            file[i] = kind == 0 ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(text[random() % 37]);
        }
        std::memcpy(file.data() + kFileSize - 4096, kMarker.data(), kMarker.size());
    }
    return file;
}

void BM_FindFirst(benchmark::State& state) {
    const std::vector<uint8_t>& file = File(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(FindFirst(file, kMarker));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void BM_Memmem(benchmark::State& state) {
    const std::vector<uint8_t>& file = File(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(memmem(file.data(), file.size(), kMarker.data(), kMarker.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

BENCHMARK(BM_FindFirst)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memmem)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
