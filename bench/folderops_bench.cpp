// Speed of the folder operations on large folders. The folders are built again before every
// iteration (outside the timing), since each run moves the files it measures.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "folderops/intelligent_merge.h"
#include "folderops/move_on_length.h"
#include "tests/support/temp_folder.h"

namespace {

using tidemark::folderops::FolderOpsHost;
using tidemark::testing::TempFolder;

class QuietHost : public FolderOpsHost {
  public:
    void ShowMessage(const std::string&, const std::string&) override { ++messages; }
    int messages = 0;
};

std::string NumberedName(const char* prefix, int i) {
    return std::string(prefix) + std::to_string(i) + ".dat";
}

// Source of n files; the destination holds n files of which the first two thirds share a name
// with a source file (one third with the same size, one third with another size), so a third
// of the source is new.
std::unique_ptr<TempFolder> MergeFolders(int n) {
    auto root = std::make_unique<TempFolder>();
    root->Folder("src");
    root->Folder("dst");
    root->Folder("alt");
    const int third = n / 3;
    for (int i = 0; i < n; ++i) {
        const std::string name = NumberedName("File", i);
        root->SizedFile("src/" + name, 100);
        if (i < third) {
            root->SizedFile("dst/" + NumberedName("file", i), 100);  // same size, other case
        } else if (i < 2 * third) {
            root->SizedFile("dst/" + name, 200);
        } else {
            root->SizedFile("dst/" + NumberedName("other", i), 50);
        }
    }
    return root;
}

void BM_Merge(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QuietHost host;
    for (auto _ : state) {
        state.PauseTiming();
        auto root = MergeFolders(n);
        state.ResumeTiming();
        const auto counts =
            tidemark::folderops::MergeFolders(*root / "src", *root / "dst", *root / "alt", host);
        benchmark::DoNotOptimize(counts);
        state.PauseTiming();
        if (!counts || counts->Total() != n || counts->kept != n / 3) {
            state.SkipWithError("unexpected merge counts");
        }
        root.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_Merge)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Half of the source qualifies; the destination holds as many files again.
void BM_MoveOnLength(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    QuietHost host;
    for (auto _ : state) {
        state.PauseTiming();
        auto root = std::make_unique<TempFolder>();
        root->Folder("src");
        root->Folder("dst");
        for (int i = 0; i < n; ++i) {
            root->SizedFile("src/" + NumberedName(i % 2 == 0 ? "a-long-name-" : "s", i), 10);
            root->SizedFile("dst/" + NumberedName("present-", i), 10);
        }
        state.ResumeTiming();
        const auto result = tidemark::folderops::RunMoveOnLength(
            {*root / "src", *root / "dst", "12", {}, {}}, host);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        if (!result.close || static_cast<int>(result.moved.size()) != n / 2) {
            state.SkipWithError("unexpected move result");
        }
        root.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_MoveOnLength)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The clash check alone, in memory: names that all differ, so every one is looked at.
void BM_FirstNoCaseClash(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) {
        names.push_back(NumberedName(i % 2 == 0 ? "Report-" : "report-", i));
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(tidemark::folderops::FirstNoCaseClash(names));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FirstNoCaseClash)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
