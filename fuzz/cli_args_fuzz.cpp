// The command-line parser on NUL-separated words: a usage error with a message, or a whole
// invocation (its command's number of folders, never --json with -0); nothing else is thrown.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/help.h"

using tidemark::cli::Command;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::string_view> args;
    for (std::size_t start = 0; !input.empty() && start <= input.size() && args.size() < 64;) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        args.push_back(input.substr(start, end - start));
        start = end + 1;
    }
    bool whole = false;
    try {
        const tidemark::cli::Invocation invocation = tidemark::cli::ParseCommandLine(args);
        const Command c = invocation.command;
        const std::size_t folders = c == Command::MoveOnLength                    ? 2
                                    : c == Command::Merge                         ? 3
                                    : c == Command::History || c == Command::Undo ? 0
                                                                                  : 1;
        whole = !tidemark::cli::CommandHelp(c).empty() &&
                (invocation.help ||
                 (invocation.folders.size() == folders && !(invocation.json && invocation.null)));
    } catch (const tidemark::cli::UsageError& error) {
        whole = !error.message.empty();
    }
    if (!whole) {
        std::abort();
    }
    return 0;
}
