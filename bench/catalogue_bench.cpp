// Speed and memory of the file catalogue on large folders: a load against a floor loop that
// only lists the folder and asks statx per entry, the seven column orders, and the memory a
// loaded record takes. The folders are made once per process and removed at the end.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "tests/support/temp_folder.h"

namespace {

using tidemark::catalogue::FileCatalogue;
using tidemark::testing::TempFolder;

// Names "f0000000.txt" .. in a few extensions, so that the type texts and the extension order
// have something to do.
std::string BenchName(int n) {
    static const char* const kExtensions[] = {".txt", ".JPG", ".doc", ".tar.gz", ""};
    char name[32];
    std::snprintf(name, sizeof name, "f%07d%s", n, kExtensions[n % 5]);
    return name;
}

void CreateEmptyFile(const std::string& path) {
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    close(fd);
}

// One folder of count empty files (and a few folders), made on first use.
const std::string& EmptyFilesFolder(int count) {
    static std::map<int, std::unique_ptr<TempFolder>> folders;
    auto& folder = folders[count];
    if (!folder) {
        folder = std::make_unique<TempFolder>();
        for (int n = 0; n < count; ++n) {
            CreateEmptyFile(*folder / BenchName(n));
        }
    }
    return folder->Path();
}

// Files of varied sizes (sparse), times and permissions, for the column orders.
const std::string& VariedFolder(int count) {
    static std::unique_ptr<TempFolder> folder;
    if (!folder) {
        folder = std::make_unique<TempFolder>();
        std::mt19937 random(1);
        for (int n = 0; n < count; ++n) {
            const std::string path = *folder / BenchName(static_cast<int>(random() % 10'000'000));
            if (access(path.c_str(), F_OK) == 0) {
                continue;
            }
            if (n % 50 == 0) {
                mkdir(path.c_str(), 0755);
                continue;
            }
            CreateEmptyFile(path);
            if (truncate(path.c_str(), static_cast<off_t>(random() % 100'000)) != 0) {
                std::exit(1);
            }
            const timespec times[2] = {
                {1'000'000'000 + static_cast<time_t>(random() % 100'000), 0},
                {1'000'000'000 + static_cast<time_t>(random() % 100'000), 0}};
            utimensat(AT_FDCWD, path.c_str(), times, 0);
            if (n % 7 == 0) {
                chmod(path.c_str(), 0444);
            }
        }
    }
    return folder->Path();
}

// The least any load must do: list the folder and ask statx for each entry.
void BM_FloorListing(benchmark::State& state) {
    const std::string& folder = EmptyFilesFolder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DIR* dir = opendir(folder.c_str());
        std::size_t entries = 0;
        while (dirent* ent = readdir(dir)) {
            struct statx sx {};
            statx(dirfd(dir), ent->d_name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                  STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &sx);
            benchmark::DoNotOptimize(sx);
            ++entries;
        }
        closedir(dir);
        benchmark::DoNotOptimize(entries);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FloorListing)->Arg(32'767)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_LoadFolder(benchmark::State& state) {
    const std::string& folder = EmptyFilesFolder(static_cast<int>(state.range(0)));
    FileCatalogue catalogue;
    for (auto _ : state) {
        if (catalogue.LoadFolder(folder) != tidemark::catalogue::kOk ||
            catalogue.RecordCount() != state.range(0)) {
            state.SkipWithError("the load failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadFolder)->Arg(32'767)->Arg(100'000)->Unit(benchmark::kMillisecond);

void BM_BuildOrderAllKeys(benchmark::State& state) {
    FileCatalogue catalogue;
    catalogue.LoadFolder(VariedFolder(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        catalogue.ClearOrders();
        for (int key = tidemark::catalogue::kKeyName; key <= tidemark::catalogue::kKeyType; ++key) {
            catalogue.BuildOrder(key);
        }
    }
    state.counters["records"] = catalogue.RecordCount();
}
BENCHMARK(BM_BuildOrderAllKeys)->Arg(32'767)->Unit(benchmark::kMillisecond);

// The rename plan's sort on a million entries in the shapes that drive a first-entry pivot to one
// side of the range on every step: it must neither overflow the stack nor take quadratic time.
void BM_QuickSortShapes(benchmark::State& state) {
    constexpr std::uint32_t kCount = 1'000'000;
    std::vector<std::uint32_t> list(kCount);
    std::mt19937 random(7);
    for (std::uint32_t k = 0; k < kCount; ++k) {
        switch (state.range(0)) {
            case 0:
                list[k] = k;
                break;
            case 1:
                list[k] = kCount - k;
                break;
            case 2:
                list[k] = 42;
                break;
            case 3:
                list[k] = k < kCount / 2 ? k : kCount - k;
                break;
            default:
                list[k] = static_cast<std::uint32_t>(random() % 3);
                break;
        }
    }
    std::vector<std::uint32_t> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = list;
        state.ResumeTiming();
        tidemark::catalogue::QuickSortDWordArray(work, 0, static_cast<std::int32_t>(kCount) - 1);
    }
    if (!std::is_sorted(work.begin(), work.end())) {
        state.SkipWithError("the list is not sorted");
    }
    state.SetLabel(
        std::array{"ascending", "descending", "equal", "organ pipe", "few values"}[state.range(0)]);
}
BENCHMARK(BM_QuickSortShapes)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// A folder past the 16-bit indices: 33,000 files (a third with another extension) and a folder
// at the end of the name order; the extension order walked backwards must still name them all.
void BM_ExtensionOrderPast16Bits(benchmark::State& state) {
    constexpr int kCount = 33'000;
    static TempFolder folder;
    static const bool made = [] {
        char name[32];
        for (int n = 0; n < kCount; ++n) {
            std::snprintf(name, sizeof name, "f%05d%s", n, n % 3 == 0 ? ".b" : ".a");
            CreateEmptyFile(folder / name);
        }
        return mkdir((folder / "zdir").c_str(), 0755) == 0;
    }();
    FileCatalogue catalogue;
    for (auto _ : state) {
        catalogue.LoadFolder(folder.Path());
        catalogue.BuildOrder(tidemark::catalogue::kKeyExt);
    }
    catalogue.sortKey = tidemark::catalogue::kKeyExt;
    catalogue.ascending = false;
    const auto& records = catalogue.GetRecords();
    const auto* order = catalogue.GetOrder(tidemark::catalogue::kKeyExt);
    if (!made || order == nullptr || order->size() != kCount + 1U || records[0].name != "zdir" ||
        records[kCount].index != kCount || records[(*order)[1]].name != "f00001.a" ||
        records[(*order)[22'000]].name != "f32999.a" ||
        records[(*order)[22'001]].name != "f00000.b" || records[order->back()].name != "f32997.b" ||
        catalogue.RecordAtRow(kCount) != 0 || catalogue.RowOfRecord(0) != kCount) {
        state.SkipWithError("the extension order is wrong");
    }
}
BENCHMARK(BM_ExtensionOrderPast16Bits)->Unit(benchmark::kMillisecond);

// Peak resident size of a process that does nothing but load the folder.
constexpr const char* kProbeFlag = "--load-probe=";

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.c_str() + prefix.size());
        }
    }
    return -1;
}

int RunLoadProbe(const std::string& folder, const char* resultFile) {
    const long before = StatusKiB("VmRSS");
    FileCatalogue catalogue;
    if (catalogue.LoadFolder(folder) != tidemark::catalogue::kOk) {
        return 1;
    }
    std::ofstream out(resultFile);
    out << catalogue.RecordCount() << ' ' << before << ' ' << StatusKiB("VmHWM") << '\n';
    return 0;
}

void BM_MemoryPerRecord(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& folder = EmptyFilesFolder(count);
    const std::string resultFile = folder + ".probe";
    long records = 0;
    long before = 0;
    long peak = 0;
    for (auto _ : state) {
        const pid_t child = fork();
        if (child == 0) {
            const std::string flag = kProbeFlag + folder;
            execl("/proc/self/exe", "catalogue_bench", flag.c_str(), resultFile.c_str(),
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        std::ifstream in(resultFile);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !(in >> records >> before >> peak)) {
            state.SkipWithError("the load probe failed");
            break;
        }
    }
    std::remove(resultFile.c_str());
    if (records > 0) {
        state.counters["records"] = static_cast<double>(records);
        state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
        state.counters["bytes_per_record"] = 1024.0 * static_cast<double>(peak) / records;
        state.counters["bytes_per_record_above_start"] =
            1024.0 * static_cast<double>(peak - before) / records;
    }
}
BENCHMARK(BM_MemoryPerRecord)
    ->Arg(1'000'000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Console output plus the load/floor ratios once both sides have run: in real time, and in
// CPU time, which a busy shared machine disturbs less.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = {run.GetAdjustedRealTime(),
                                                run.GetAdjustedCPUTime()};
            }
        }
    }
    void PrintRatios() const {
        for (const char* arg : {"32767", "100000"}) {
            const auto load = times_.find(std::string("BM_LoadFolder/") + arg);
            const auto floor = times_.find(std::string("BM_FloorListing/") + arg);
            if (load != times_.end() && floor != times_.end() && floor->second.real > 0 &&
                floor->second.cpu > 0) {
                std::printf("LoadFolder / floor listing, %s entries: %.2f real, %.2f CPU\n", arg,
                            load->second.real / floor->second.real,
                            load->second.cpu / floor->second.cpu);
            }
        }
    }

  private:
    struct Times {
        double real;
        double cpu;
    };
    std::map<std::string, Times> times_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]).rfind(kProbeFlag, 0) == 0) {
        return RunLoadProbe(argv[1] + std::string(kProbeFlag).size(), argv[2]);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
