// The in-place rename of a full folder (32,767 files) against the floor of the same renames as
// bare renameat2 calls, and the check stage alone. The whole-plan check must cost little next
// to the renames themselves: the ratio of the two rename figures should stay under 1.2. The
// same rename journalled for undo (plan written and synced, steps appended, end synced) should
// stay within 1.05 of it.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "platform/file_system.h"
#include "rename/rename_execution.h"
#include "tests/support/temp_folder.h"

namespace {

using namespace tidemark;

constexpr int kFileCount = 32767;

// Tells nothing and re-reads nothing: the re-read after a rename is the window's work.
class QuietHost : public rename::RenameHost {
  public:
    void ShowMessage(const std::string& text, const std::string&) override {
        throw std::runtime_error("unexpected message: " + text);
    }
    void Log(const std::string&) override {}
    int ChangeFolder(const std::string&) override { return 1; }
    void RefreshPreview() override {}
    void ResetPage() override {}
    void AddSourceFolder(const std::string&) override {}
    void AddDestFolder(const std::string&) override {}
};

// One folder of files named <prefix>NNNNN.dat; the renames flip the prefix between f and g.
struct Folder {
    testing::TempFolder dir;
    char prefix = 'f';

    Folder() {
        for (int i = 0; i < kFileCount; ++i) {
            const int fd = open(Path(prefix, i).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (fd < 0) {
                throw std::runtime_error("cannot create the benchmark files");
            }
            close(fd);
        }
    }
    std::string Path(char first, int i) const {
        char name[32];
        std::snprintf(name, sizeof name, "%c%05d.dat", first, i);
        return platform::JoinPath(dir.Path(), name);
    }
    char Other() const { return prefix == 'f' ? 'g' : 'f'; }
};

Folder& SharedFolder() {
    static Folder folder;
    return folder;
}

// Replaces the prefix letter: every name changes, and no new name is a current one.
rename::RenameRules FlipRules(const Folder& folder) {
    rename::RenameRules rules(rename::PageKind::Files);
    rules.Options().DoReplace = true;
    rules.Options().MatchCase = true;
    rules.Options().RepOrig = std::string(1, folder.prefix);
    rules.Options().RepNew = std::string(1, folder.Other());
    return rules;
}

void BM_FloorRenameat2(benchmark::State& state) {
    Folder& folder = SharedFolder();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> from(kFileCount);
        std::vector<std::string> to(kFileCount);
        for (int i = 0; i < kFileCount; ++i) {
            from[i] = folder.Path(folder.prefix, i);
            to[i] = folder.Path(folder.Other(), i);
        }
        state.ResumeTiming();
        for (int i = 0; i < kFileCount; ++i) {
            if (renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) !=
                0) {
                state.SkipWithError("renameat2 failed");
                return;
            }
        }
        folder.prefix = folder.Other();
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}

void RenameInPlace(benchmark::State& state, bool journalled) {
    Folder& folder = SharedFolder();
    catalogue::FileCatalogue catalogue;
    QuietHost host;
    static testing::TempFolder journals;
    for (auto _ : state) {
        state.PauseTiming();
        catalogue.LoadFolder(folder.dir.Path());
        const rename::RenameRules rules = FlipRules(folder);
        platform::JournalWriter journal(journals.Path());
        rename::RenameRequest request{rename::kTabFiles, &rules, nullptr};
        request.journal = journalled ? &journal : nullptr;
        state.ResumeTiming();
        const int result = rename::OnPerformFileRename(catalogue, request, host);
        if (result != rename::kRenameOk) {
            state.SkipWithError("the rename failed");
            return;
        }
        folder.prefix = folder.Other();
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}

void BM_RenameInPlace(benchmark::State& state) {
    RenameInPlace(state, false);
}

void BM_RenameInPlaceJournalled(benchmark::State& state) {
    RenameInPlace(state, true);
}

// The journal's own work for the same batch, without the renames: plan written and synced, every
// step marked, end synced. Its share of BM_RenameInPlace is the journal's cost, measured apart
// from the noise of the renames themselves.
void BM_JournalOnly(benchmark::State& state) {
    Folder& folder = SharedFolder();
    static testing::TempFolder journals;
    platform::JournalPlan plan;
    plan.operation = "rename";
    plan.folders = {folder.dir.Path()};
    for (int i = 0; i < kFileCount; ++i) {
        char from[16];
        char to[16];
        std::snprintf(from, sizeof from, "f%05d.dat", i);
        std::snprintf(to, sizeof to, "g%05d.dat", i);
        plan.steps.push_back({.oldName = from, .newName = to, .inode = 1000000u + i});
    }
    for (auto _ : state) {
        platform::JournalWriter journal(journals.Path());
        if (journal.Begin(plan) != 0) {
            state.SkipWithError("the journal cannot be written");
            return;
        }
        for (std::uint32_t i = 0; i < kFileCount; ++i) {
            journal.Done(i);
        }
        journal.Finish(true);
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}

void BM_CheckStageOnly(benchmark::State& state) {
    Folder& folder = SharedFolder();
    catalogue::FileCatalogue catalogue;
    catalogue.LoadFolder(folder.dir.Path());
    QuietHost host;
    const rename::RenameRules rules = FlipRules(folder);
    const rename::RenameRequest request{rename::kTabFiles, &rules, nullptr};
    std::vector<std::uint32_t> plan;
    rename::InPlaceWalk walk;
    for (auto _ : state) {
        rename::BuildRenamePlan(catalogue, plan, false, true, rename::kTabFiles, host);
        if (rename::ChkOnPerformFileRename(catalogue, request, plan, walk, host) !=
            rename::kRenameOk) {
            state.SkipWithError("the check failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * kFileCount);
}

// Prints the figures as usual, then the ratios to the floor, from real and from CPU time.
// Rounds of the same benchmark are added up.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred) {
                const std::string& name = run.run_name.function_name;
                Totals& totals = totals_[name.substr(0, name.find('/'))];
                totals.real += run.GetAdjustedRealTime();
                totals.cpu += run.GetAdjustedCPUTime();
                ++totals.rounds;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto floor = totals_.find("BM_FloorRenameat2");
        if (floor == totals_.end() || floor->second.rounds == 0) {
            return;
        }
        const Totals f = floor->second.Mean();
        for (const char* name : {"BM_RenameInPlace", "BM_RenameInPlaceJournalled", "BM_JournalOnly",
                                 "BM_CheckStageOnly"}) {
            if (const auto it = totals_.find(name); it != totals_.end()) {
                const Totals t = it->second.Mean();
                std::printf("%s / floor: real %.3f, cpu %.3f (%.1f ms vs %.1f ms real)\n", name,
                            t.real / f.real, t.cpu / f.cpu, t.real, f.real);
            }
        }
        const auto plain = totals_.find("BM_RenameInPlace");
        const auto journalled = totals_.find("BM_RenameInPlaceJournalled");
        if (plain != totals_.end() && journalled != totals_.end()) {
            const Totals p = plain->second.Mean();
            const Totals j = journalled->second.Mean();
            std::printf("BM_RenameInPlaceJournalled / BM_RenameInPlace: real %.3f, cpu %.3f\n",
                        j.real / p.real, j.cpu / p.cpu);
        }
        if (const auto alone = totals_.find("BM_JournalOnly");
            plain != totals_.end() && alone != totals_.end()) {
            const Totals p = plain->second.Mean();
            const Totals a = alone->second.Mean();
            std::printf(
                "(BM_RenameInPlace + BM_JournalOnly) / BM_RenameInPlace: real %.3f, "
                "cpu %.3f\n",
                (p.real + a.real) / p.real, (p.cpu + a.cpu) / p.cpu);
        }
        std::printf("target: BM_RenameInPlace / floor < 1.2, journalled / plain <= 1.05\n");
    }

  private:
    struct Totals {
        double real = 0;
        double cpu = 0;
        int rounds = 0;
        Totals Mean() const { return {real / rounds, cpu / rounds, 1}; }
    };
    std::map<std::string, Totals> totals_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Floor and rename take turns over the same files, so both meet the folder in the same
    // state as it ages.
    for (int round = 1; round <= 3; ++round) {
        const std::string suffix = "/round:" + std::to_string(round);
        benchmark::RegisterBenchmark(("BM_FloorRenameat2" + suffix).c_str(), BM_FloorRenameat2)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(6);
        benchmark::RegisterBenchmark(("BM_RenameInPlace" + suffix).c_str(), BM_RenameInPlace)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(6);
        benchmark::RegisterBenchmark(("BM_RenameInPlaceJournalled" + suffix).c_str(),
                                     BM_RenameInPlaceJournalled)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(6);
    }
    benchmark::RegisterBenchmark("BM_JournalOnly", BM_JournalOnly)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(6);
    benchmark::RegisterBenchmark("BM_CheckStageOnly", BM_CheckStageOnly)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
