// Loading a very large settings file: time, and the peak of heap memory against the file's size
// (counted by this program's own operator new). Two shapes of 100 MB: nothing but empty lines,
// and sections full of keys.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "settings/ini_file.h"
#include "tests/support/temp_folder.h"

namespace {

std::atomic<std::size_t> gLive{0};
std::atomic<std::size_t> gPeak{0};

// The size is kept in front of each block so that delete knows what it frees.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = size;
    const std::size_t live = gLive += size;
    std::size_t peak = gPeak.load();
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
    return static_cast<char*>(block) + kHeader;
}

void Free(void* pointer) {
    if (pointer != nullptr) {
        char* block = static_cast<char*>(pointer) - kHeader;
        gLive -= *reinterpret_cast<std::size_t*>(block);
        std::free(block);
    }
}

constexpr std::size_t kFileSize = 100u << 20;

std::string EmptyLines() {
    return std::string(kFileSize, '\n');
}

std::string SectionsOfKeys() {
    std::string text;
    text.reserve(kFileSize + 256);
    for (int section = 0; text.size() < kFileSize; ++section) {
        text += "[Section" + std::to_string(section) + "]\n";
        for (int key = 0; key < 50 && text.size() < kFileSize; ++key) {
            text +=
                "Key" + std::to_string(key) + "=C:/some/folder/name" + std::to_string(key) + ";\n";
        }
    }
    return text;
}

void LoadLargeFile(benchmark::State& state, std::string (*make)()) {
    tidemark::testing::TempFolder temp;
    const std::string path = temp.File("tmk.ini", make());
    std::size_t peak = 0;
    for (auto _ : state) {
        const std::size_t before = gLive.load();
        gPeak = before;
        tidemark::settings::IniFile::State loaded{};
        const auto file = tidemark::settings::IniFile::Load(path, loaded);
        benchmark::DoNotOptimize(file.GetString("NAME", "Append", "", 254));
        peak = gPeak.load() - before;
        if (loaded != tidemark::settings::IniFile::State::kRead) {
            state.SkipWithError("the file was not read");
        }
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
    state.counters["peak_per_file_byte"] = static_cast<double>(peak) / kFileSize;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

void BM_LoadEmptyLines(benchmark::State& state) {
    LoadLargeFile(state, EmptyLines);
}
BENCHMARK(BM_LoadEmptyLines)->Unit(benchmark::kMillisecond);

void BM_LoadSectionsOfKeys(benchmark::State& state) {
    LoadLargeFile(state, SectionsOfKeys);
}
BENCHMARK(BM_LoadSectionsOfKeys)->Unit(benchmark::kMillisecond);

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* pointer) noexcept {
    Free(pointer);
}
void operator delete[](void* pointer) noexcept {
    Free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Free(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Free(pointer);
}

BENCHMARK_MAIN();
