#include "cli/help.h"

namespace tidemark::cli {
namespace {

constexpr std::string_view kOverview =
    R"(usage: tidemark-cli COMMAND ... (COMMAND --help for its options)
       tidemark-cli --version

  list    FOLDER [--sort KEY] [--desc] [-0]
  preview FOLDER [PAGE] [RULES | NUMBERING] [ORDER] [SELECTION] [--json | -0]
  rename  FOLDER [PAGE] [RULES | NUMBERING] [ORDER] [SELECTION] [--log]
  move-on-length SOURCE DEST --length N [--preview]
  merge   SOURCE DEST ALTERNATE
  history [--json]
  undo    [N] [--dry-run] [--json]

Every name shown or given is the one the rename window would show or give for the same
folder, order, selection and options. Messages go to standard error as "CAPTION: TEXT".

Every rename, move, copy, move-on-length and merge is journalled; undo reverses the last
batch (history lists the kept ones).

Exit status: 0 success; 11, 21, 41, 42, 43 the operation's result code; 1 a check of
move-on-length or merge stopped it, a file could not be moved, undo could not undo a step,
or standard output could not be written; 2 a usage error.
)";

constexpr std::string_view kOrder = R"(
ORDER (the source list's column clicks):
  --sort name|ext|size|created|modified|attrib|type   the column the list is sorted by
  --desc                    descending (folders come last)
)";

constexpr std::string_view kPage = R"(
PAGE:
  --page files|ext|folders|number   the tab (default files)

RULES (files, ext, folders; each rule option switches its rule on):
  --delete POS,COUNT        delete COUNT characters from position POS (from 1)
  --left-crop N             cut N characters from the left
  --right-crop N            cut N characters from the right of the name part
  --change TEXT             replace the name part by TEXT
  --replace OLD --with NEW  replace every OLD by NEW
  --match-case              --replace compares case-sensitively
  --insert TEXT --at POS    insert TEXT at position POS (from 1)
  --prepend TEXT            put TEXT before the name
  --append TEXT             put TEXT at the end of the name part
  --case none|lower|upper|caps|initial
                            caps: "Caps And Lowercase", initial: "Initial capital only"

NUMBERING (--page number):
  --start N                 start number, 0 to 10001 (default 1)
  --incr N                  increment, 1 to 1000 (default 1)
  --width N                 zero-filled width, 0 to 10
  --base dec|bin|oct|hex|alpha|alnum
  --position N | --before | --after | --pattern PAT
                            where the number goes; in PAT "?" stands for the digits, and the
                            run of "?" sets the width unless --width comes after it
  --output rename|move|copy rename in place (default), or move or copy into --dest
  --dest DIR                destination folder of move and copy

ORDER:
  --sort name|ext|size|created|modified|attrib|type
  --desc                    descending (folders come last)
  --order NAME              repeated: a custom order of those entries

SELECTION:
  --select NAME             repeated: the selection, in the given order
  --selected-only           rename only the selected entries

A NAME given to --select or --order must be in FOLDER. Use -- before a FOLDER that begins
with "-".
)";

constexpr std::string_view kList = R"(usage: tidemark-cli list FOLDER [--sort KEY] [--desc] [-0]

One line per row of the source list, in display order: the seven column texts (Filename,
Ext, Size, Created, Modified, Attrib, Type) separated by a tab.
  -0, --null    end every text with a NUL byte instead (no tabs or line ends), for names
                that hold them; as `find -print0`, read with `xargs -0` or `read -d ''`
)";

constexpr std::string_view kPreview =
    R"(usage: tidemark-cli preview FOLDER [PAGE] [RULES | NUMBERING] [ORDER] [SELECTION] [--json | -0]

One line per row of the result list, "old<TAB>new", in display order, exactly as the result
list fills it.
  -0, --null    "old<NUL>new<NUL>" per row instead, for names holding tabs or line ends
  --json        [{"old":...,"new":...,"isFile":...}, ...]; a byte of a name that is not
                UTF-8 is written as \udcXX, and such a name also gets "oldBase64" or
                "newBase64" holding its exact bytes; a row that clashes also gets "clash":
                "duplicate", "existing" or "invalid"

Exit status: 0 no row clashes (the names in a --dest folder are checked by rename alone);
42 a name collision, 21 a name no file system can hold: the status rename would give, with a
line on standard error counting the names (the rows are printed all the same); 11, 21 the
folder could not be read; 2 usage error.
)";

constexpr std::string_view kRename =
    R"(usage: tidemark-cli rename FOLDER [PAGE] [RULES | NUMBERING] [ORDER] [SELECTION] [--log]

Runs the rename as the page's Rename (or Renumber) button does. Nothing changes when a check
fails; an existing file is never overwritten. Messages go to standard error as
"CAPTION: TEXT"; --log writes the log lines there too.

Exit status: 0 done; 11 out of memory; 21 a file operation failed (entries before it stay
renamed); 41 wrong kind selected or missing destination; 42 a name collision; 43 nothing to
rename with --selected-only or --order; 2 usage error.
)";

constexpr std::string_view kMoveOnLength =
    R"(usage: tidemark-cli move-on-length SOURCE DEST --length N [--preview]

Moves every file of SOURCE whose whole name is longer than N characters into DEST. Nothing
moves when a name clashes with another or with a file of DEST (letter case ignored).
  --length N    the length, read as the dialog reads its box
  --preview     run the Move's checks, then print the names that would move, sorted, one
                per line; move nothing

Exit status: 0 the Move ran (or nothing qualified; for --preview, the names were printed);
1 a check stopped it or a file could not be moved (messages on standard error, the same for
--preview); 2 usage error.
)";

constexpr std::string_view kMerge = R"(usage: tidemark-cli merge SOURCE DEST ALTERNATE

Moves the files of SOURCE into DEST. A file whose name is in DEST with the same size stays in
SOURCE; one whose name is in DEST with another size goes to ALTERNATE. Subfolders are not
touched. The summary goes to standard output and counts the files that went; each file that
could not be moved gets a line on standard error.

Exit status: 0 the merge ran; 1 a check stopped it, SOURCE could not be read or a file could
not be moved (messages on standard error); 2 usage error.
)";

constexpr std::string_view kHistory = R"(usage: tidemark-cli history [--json]

The kept batches (the last 50), newest first, one per line: number, time (UTC), operation,
folder, count of steps, state (complete, stopped, undone, damaged), separated by a tab.
--json prints [{"number":...,"time":...,"operation":...,"folder":...,"steps":...,
"state":...}, ...] instead. The journals live in $XDG_STATE_HOME/tidemark (default
~/.local/state/tidemark; TMK_STATE names another folder).
)";

constexpr std::string_view kUndo = R"(usage: tidemark-cli undo [N] [--dry-run] [--json]

Undoes batch N of the history (default: the newest batch that is neither an undo nor undone),
last step first, never overwriting: a file renamed or moved goes back to its old name, a copy
is removed only while it is still the file that was written. A step that cannot be undone
(the entry is gone or changed, or its old name is taken) is skipped and printed as "not
undone: PATH: REASON". An undo is journalled too: undoing it redoes the batch. A batch
already undone, or a damaged journal, is refused and nothing changes.
  --dry-run     tell what would be undone; change nothing
  --json        print {"batch":...,"operation":...,"folder":...,"undone":...,"skipped":[...]}

Exit status: 0 every step was undone; 1 a step could not be undone, or the batch was refused
(message on standard error); 2 usage error.
)";

}  // namespace

std::string_view OverviewHelp() {
    return kOverview;
}

std::string_view CommandHelp(Command command) {
    switch (command) {
        case Command::List: {
            static const std::string text = std::string(kList) + std::string(kOrder);
            return text;
        }
        case Command::Preview: {
            static const std::string text = std::string(kPreview) + std::string(kPage);
            return text;
        }
        case Command::Rename: {
            static const std::string text = std::string(kRename) + std::string(kPage);
            return text;
        }
        case Command::MoveOnLength:
            return kMoveOnLength;
        case Command::Merge:
            return kMerge;
        case Command::History:
            return kHistory;
        case Command::Undo:
            return kUndo;
    }
    return kOverview;
}

}  // namespace tidemark::cli
