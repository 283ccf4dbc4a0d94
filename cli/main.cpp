// tidemark-cli: the engine's second front end, for scripts and machines without a display.

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/help.h"
#include "cli/output.h"
#include "tidemark_version.h"

namespace {

constexpr int kUsageStatus = 2;

void Print(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// A full disk or a closed pipe on standard output is a failure like any other.
int Finished(int status) {
    if (const int error = tidemark::cli::FinishOutput(stdout); error != 0) {
        std::fprintf(stderr, "tidemark-cli: standard output: %s\n", std::strerror(error));
        return status == 0 ? 1 : status;
    }
    return status;
}

// A batch of tens of thousands of entries touches tens of megabytes of heap; faulted in as 4 KiB
// pages that is thousands of faults, a large part of its cost. The heap is grown once, ahead,
// and marked for huge pages; only what is touched is ever backed by memory.
void PrepareHeap() {
    constexpr std::uintptr_t kHuge = 2 * 1024 * 1024;
    constexpr int kAhead = 64 * 1024 * 1024;
    mallopt(M_TOP_PAD, kAhead);
    const auto before = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // Under the mmap threshold, so the heap grows by kAhead; volatile, so the pair is not elided.
    void* volatile block = std::malloc(256 * 1024);
    std::free(block);
    const auto after = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t first = (before + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = after & ~(kHuge - 1);
    if (last > first) {
        // Advice only: where huge pages are off, nothing changes.
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tidemark::cli;
    // One command, then the process ends: memory freed on the way (the folder's lists, the
    // check's tables) is kept for the next allocation instead of going back to the system,
    // where every page would be faulted in afresh, a large part of a big batch's cost.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
    PrepareHeap();
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.size() == 1 && args.front() == "--version") {
        std::printf("tidemark-cli %s\n", tidemark::kProgramVersion);
        return 0;
    }
    try {
        const Invocation invocation = ParseCommandLine(args);
        if (invocation.help) {
            Print(invocation.overview ? OverviewHelp() : CommandHelp(invocation.command));
            return Finished(0);
        }
        return Finished(RunCommand(invocation));
    } catch (const UsageError& error) {
        std::fprintf(stderr, "tidemark-cli: %s\n", error.message.c_str());
        return kUsageStatus;
    }
}
