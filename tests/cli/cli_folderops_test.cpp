// move-on-length, merge and the usage errors of every command, run on real folders.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/cli/run_cli.h"
#include "tests/support/temp_folder.h"

namespace tidemark::testing {
namespace {

using Strings = std::vector<std::string>;

// Splits a command line at blanks, with the folder put in for each leading "F".
Strings Words(const std::string& line, const std::string& folder) {
    Strings words;
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        words.push_back(word[0] == 'F' ? folder + word.substr(1) : word);
    }
    return words;
}

TEST(CliMoveOnLength, PreviewThenMove) {
    TempFolder dir;
    dir.Folder("dest");
    dir.File("src/abc.txt");    // 7 characters: stays
    dir.File("src/abcd.txt");   // 8: stays
    dir.File("src/Zebra.txt");  // 9: moves
    dir.File("src/abcde.txt");  // 9: moves
    dir.File("src/ééééé.txt");  // 9 characters, 14 bytes: moves
    dir.Folder("src/long-folder-name");

    const CliRun preview =
        RunCli({"move-on-length", dir / "src", dir / "dest", "--length", "8", "--preview"});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(Lines(preview.out), (Strings{"abcde.txt", "Zebra.txt", "ééééé.txt"}));
    EXPECT_EQ(dir.Names("dest"), Strings{});

    const CliRun move = RunCli({"move-on-length", dir / "src", dir / "dest", "--length=8"});
    EXPECT_EQ(move.status, 0) << move.err;
    EXPECT_EQ(move.out, "");
    EXPECT_EQ(dir.Names("dest"), (Strings{"Zebra.txt", "abcde.txt", "ééééé.txt"}));
    EXPECT_EQ(dir.Names("src"), (Strings{"abc.txt", "abcd.txt", "long-folder-name"}));
}

// A stopped check prints its messages, exits with 1 and moves nothing.
TEST(CliFolderOps, StoppedChecksMoveNothing) {
    TempFolder dir;
    dir.File("src/Report.TXT");
    dir.File("src/other-long.txt");
    dir.File("dest/report.txt");
    const std::string src = dir / "src", dest = dir / "dest", mol = "move-on-length";
    const struct {
        Strings args;
        std::string err;
    } cases[] = {
        {{mol, src, dest, "--length", "5"},
         "Error: The move was not started. A file with the name Report.TXT already exists in the "
         "destination directory.\n"},
        {{mol, src, dest, "--length", "0"},
         "Error: The move cannot be done.  A length larger than 0 must be entered in the length "
         "editbox.\n"},
        {{mol, src, src, "--length", "5"},
         "Error: The Move cannot be done - the source and destination folders are the same.\n"},
        {{mol, dir / "nope", dir / "gone", "--length", "5"},
         "Error: The source directory is not valid.\n"
         "Error: The destination directory is not valid.\n"},
        {{mol, src, dest, "--length", "x", "--preview"},
         "Error: The move cannot be done.  A length larger than 0 must be entered in the length "
         "editbox.\n"},
        // The preview runs the Move's checks: it lists nothing the Move would refuse.
        {{mol, src, dest, "--length", "5", "--preview"},
         "Error: The move was not started. A file with the name Report.TXT already exists in the "
         "destination directory.\n"},
        {{"merge", src, dest, dir / "missing"}, "Error: The alternate directory is not valid.\n"},
        {{"merge", src, src, dest},
         "Error: The source and destination directories are the same. You must change one.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = RunCli(c.args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(dir.Names("src"), (Strings{"Report.TXT", "other-long.txt"}));
        EXPECT_EQ(dir.Names("dest"), (Strings{"report.txt"}));
    }
}

TEST(CliMerge, SummaryOnStandardOutput) {
    TempFolder dir;
    dir.File("src/a.txt", "new");
    dir.File("src/b.txt", "same");
    dir.File("src/c.txt", "longer");
    dir.File("src/sub/d.txt");
    dir.File("dst/B.TXT", "SAME");
    dir.File("dst/c.txt", "short");
    dir.Folder("alt");

    const CliRun run = RunCli({"merge", dir / "src", dir / "dst", dir / "alt"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "There were a total of 3 files.\n"
              "  1 were moved normally to the destination folder.\n"
              "  1 existed in the destination folder with a different size - moved to alternate "
              "directory)\n"
              "  1 existed in the destination folder with the same size - not moved)\n");
    EXPECT_EQ(dir.Names("src"), (Strings{"b.txt", "sub"}));
    EXPECT_EQ(dir.Names("dst"), (Strings{"B.TXT", "a.txt", "c.txt"}));
    EXPECT_EQ(dir.Names("alt"), (Strings{"c.txt"}));
    EXPECT_EQ(dir.Read("alt/c.txt"), "longer");
}

// A move that fails after the checks passed is told on standard error and fails the run; the
// merge summary counts only what went.
TEST(CliFolderOps, FailedMovesAreToldAndFailTheRun) {
    TempFolder dir;
    dir.File("src/free-name.txt", "goes");
    dir.File("src/blocked-name.txt", "stays");
    // A folder is not among the destination's files: only the move itself finds the clash.
    dir.File("dest/blocked-name.txt/keep.txt");
    const CliRun move = RunCli({"move-on-length", dir / "src", dir / "dest", "--length", "3"});
    EXPECT_EQ(move.status, 1);
    EXPECT_EQ(move.err,
              "Error: could not move blocked-name.txt to " + dir / "dest" + ": File exists\n");
    EXPECT_EQ(dir.Names("src"), Strings{"blocked-name.txt"});

    dir.File("src/c.txt", "longer");
    dir.File("dst/c.txt", "short");
    dir.File("alt/c.txt", "already");
    dir.File("src/new.txt", "new");
    const CliRun merge = RunCli({"merge", dir / "src", dir / "dst", dir / "alt"});
    EXPECT_EQ(merge.status, 1);
    EXPECT_EQ(merge.err, "Error: could not move c.txt to " + dir / "alt" + ": File exists\n");
    EXPECT_EQ(merge.out,
              "There were a total of 2 files.\n"
              "  2 were moved normally to the destination folder.\n"
              "  0 existed in the destination folder with a different size - moved to alternate "
              "directory)\n"
              "  0 existed in the destination folder with the same size - not moved)\n");
    EXPECT_EQ(dir.Read("alt/c.txt"), "already");
    EXPECT_EQ(dir.Read("src/c.txt"), "longer");
}

// Every usage error exits with 2 and one line naming the bad argument; nothing changes.
TEST(CliUsage, BadArgumentsAreNamedAndChangeNothing) {
    TempFolder dir;
    dir.File("a.txt");
    dir.Folder("sub");
    // The words of each command line; F stands for the folder.
    const struct {
        const char* args;
        const char* named;
    } cases[] = {
        {"", "command"},
        {"shuffle F", "'shuffle'"},
        {"rename F --frobnicate", "--frobnicate"},
        {"rename", "FOLDER"},
        {"rename F extra", "'extra'"},
        {"rename F/missing", "missing: The directory you've typed in does not exist."},
        {"rename F --select b.txt --case upper", "--select: 'b.txt' is not in"},
        {"preview F --order a.txt --order nope", "--order: 'nope' is not in"},
        {"rename F --select a.txt --select a.txt", "--select: 'a.txt' is given twice"},
        {"rename F --page number --width 11 --before",
         "--width 11: Please input a number width between 0 and 10."},
        {"rename F --page number --start 10002",
         "--start 10002: Please input a start number between 0 and 10,001."},
        {"rename F --page number --incr 0",
         "--incr 0: Please input an increment between 1 and 1000."},
        {"rename F --page number --start 1x", "--start: not a whole number: '1x'"},
        {"rename F --page number --before --after", "--after: --before"},
        {"rename F --page number --prepend x", "--prepend: not an option of the number page"},
        {"rename F --before", "--before: an option of the number page only"},
        {"rename F --page dirs", "--page: 'dirs' is not one of files|ext|folders|number"},
        {"rename F --replace a", "--replace: --with NEW is missing"},
        {"rename F --insert a", "--insert: --at POS is missing"},
        {"rename F --delete 3", "--delete: POS,COUNT expected, got '3'"},
        {"rename F --case", "--case: a value is missing"},
        {"rename F --json", "--json: not an option of rename"},
        {"rename F -0", "-0: not an option of rename"},
        {"merge F F F --null", "--null: not an option of merge"},
        {"list F --prepend x", "--prepend: not an option of list"},
        {"list F --sort colour", "--sort: 'colour' is not one of"},
        {"list F --desc=yes", "--desc: takes no value"},
        {"move-on-length F F", "--length is missing"},
        {"merge F F", "ALTERNATE is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = RunCli(Words(c.args, dir.Path()));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const Strings lines = Lines(run.err);
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_EQ(lines[0].rfind("tidemark-cli: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(c.named), std::string::npos) << lines[0];
        EXPECT_EQ(dir.Names(), (Strings{"a.txt", "sub"}));
    }
}

TEST(CliUsage, HelpForEachCommand) {
    for (const std::string command : {"list", "preview", "rename", "move-on-length", "merge"}) {
        const CliRun run = RunCli({command, "--bad-option", "--help"});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_EQ(run.out.rfind("usage: tidemark-cli " + command + " ", 0), 0u) << run.out;
    }
    const CliRun overview = RunCli({"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("move-on-length SOURCE DEST --length N"), std::string::npos);
}

}  // namespace
}  // namespace tidemark::testing
