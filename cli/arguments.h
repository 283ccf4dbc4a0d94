#pragma once
// The command line of tidemark-cli, read into one plain description of what to run. Reading
// checks the syntax, the option values (the number boxes' own checks included) and which
// options go with which command and page; names are checked against the folder later, when it
// has been read.

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "rename/numbering.h"
#include "rename/rename_execution.h"
#include "rename/rename_options.h"

namespace tidemark::cli {

enum class Command { List, Preview, Rename, MoveOnLength, Merge };

// A bad command line. The message is one line that names the bad argument.
struct UsageError {
    std::string message;
};

// What the rename window would be set to: the tab, the page's options, the source list's
// column-click state, the custom order and the selection (both by entry name).
struct RenameSetup {
    int tabIndex = rename::kTabFiles;
    rename::RenameOptions rules;
    rename::NumberOptions numbering;
    int sortKey = catalogue::kKeyName;
    bool descending = false;
    bool hasCustomOrder = false;
    std::vector<std::string> customOrder;
    std::vector<std::string> selection;
};

struct Invocation {
    Command command = Command::List;
    // --help: show the command's help (or, without a command, the overview) and do nothing
    // else.
    bool help = false;
    bool overview = false;
    // FOLDER; or SOURCE DEST; or SOURCE DEST ALTERNATE.
    std::vector<std::string> folders;
    RenameSetup setup;
    bool json = false;         // preview
    bool null = false;         // list, preview: NUL after every field instead of tabs and lines
    bool log = false;          // rename
    std::string lengthText;    // move-on-length, as typed: the operation reads it
    bool previewOnly = false;  // move-on-length
};

// args: the words after the program's name. Throws UsageError. "--help" anywhere after a
// command asks for that command's help; as the first word, for the overview.
Invocation ParseCommandLine(const std::vector<std::string_view>& args);

std::string_view CommandName(Command command);

}  // namespace tidemark::cli
