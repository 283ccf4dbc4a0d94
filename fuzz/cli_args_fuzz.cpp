// The command-line parser on any words (NUL-separated in the input). Checked: it either gives a
// usage error with a one-line message or an invocation that is whole (its command's number of
// folders, --json and -0 never together); it never throws anything else.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/help.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::size_t FolderCount(tidemark::cli::Command command) {
    switch (command) {
        case tidemark::cli::Command::MoveOnLength:
            return 2;
        case tidemark::cli::Command::Merge:
            return 3;
        case tidemark::cli::Command::History:
        case tidemark::cli::Command::Undo:
            return 0;
        default:
            return 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; !input.empty() && start <= input.size() && args.size() < 64;) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    try {
        const tidemark::cli::Invocation invocation = tidemark::cli::ParseCommandLine(args);
        Check(!tidemark::cli::CommandHelp(invocation.command).empty());
        if (!invocation.help) {
            Check(invocation.folders.size() == FolderCount(invocation.command));
            Check(!(invocation.json && invocation.null));
        }
    } catch (const tidemark::cli::UsageError& error) {
        Check(!error.message.empty());
    }
    return 0;
}
