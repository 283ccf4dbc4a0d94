#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/cli/run_cli.h"

namespace tidemark::testing {
namespace {

// Names of 7 and 8 characters stay; of 9 (the last has 14 bytes) move.
TEST(CliMoveOnLength, PreviewThenMove) {
    TempFolder dir;
    dir.Folder("dest");
    dir.Folder("src/long-folder-name");
    for (const char* name : {"abc.txt", "abcd.txt", "Zebra.txt", "abcde.txt", "ééééé.txt"}) {
        dir.File(std::string("src/") + name);
    }
    const CliRun preview =
        RunCli(Words("move-on-length F/src F/dest --length=8 --preview", dir.Path()));
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(Lines(preview.out), (Strings{"abcde.txt", "Zebra.txt", "ééééé.txt"}));
    EXPECT_EQ(dir.Names("dest"), Strings{});
    const CliRun move = RunCli(Words("move-on-length F/src F/dest --length 8", dir.Path()));
    EXPECT_EQ(move.status, 0) << move.err;
    EXPECT_EQ(move.out, "");
    EXPECT_EQ(dir.Names("dest"), (Strings{"Zebra.txt", "abcde.txt", "ééééé.txt"}));
}

TEST(CliFolderOps, StoppedChecksMoveNothing) {
    TempFolder dir;
    dir.File("src/Report.TXT");
    dir.File("src/other-long.txt");
    dir.File("dest/report.txt");
    const std::pair<const char*, std::string> cases[] = {
        {"move-on-length F/nope F/gone --length 5",
         "Error: The source directory is not valid.\n"
         "Error: The destination directory is not valid.\n"},
        {"move-on-length F/src F/dest --length x --preview",
         "Error: The move cannot be done.  A length larger than 0 must be entered in the length "
         "editbox.\n"},
        // The preview runs the Move's checks: it lists nothing the Move would refuse.
        {"move-on-length F/src F/dest --length 5 --preview",
         "Error: The move was not started. A file with the name Report.TXT already exists in the "
         "destination directory.\n"},
        {"merge F/src F/dest F/missing", "Error: The alternate directory is not valid.\n"},
    };
    for (const auto& [args, err] : cases) {
        SCOPED_TRACE(args);
        const CliRun run = RunCli(Words(args, dir.Path()));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, err);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(dir.Names("src"), (Strings{"Report.TXT", "other-long.txt"}));
        EXPECT_EQ(dir.Names("dest"), (Strings{"report.txt"}));
    }
}

struct StateFolder {
    TempFolder dir;
    StateFolder() { setenv("TMK_STATE", dir.Path().c_str(), 1); }
    ~StateFolder() { unsetenv("TMK_STATE"); }
};

// A move failing after the checks is told on stderr and fails the run; the merge summary counts
// only what went; history shows the batch stopped. With nothing in the way the merge then succeeds.
TEST(CliFolderOps, FailedMovesAreToldAndFailTheRun) {
    StateFolder state;
    TempFolder dir;
    dir.File("src/free-name.txt", "goes");
    dir.File("src/blocked-name.txt", "stays");
    // A folder is not among the destination's files: only the move itself finds the clash.
    dir.File("dest/blocked-name.txt/keep.txt");
    const CliRun move = RunCli(Words("move-on-length F/src F/dest --length 3", dir.Path()));
    EXPECT_EQ(move.status, 1);
    EXPECT_EQ(move.err,
              "Error: could not move blocked-name.txt to " + dir / "dest" + ": File exists\n");
    EXPECT_EQ(dir.Names("src"), Strings{"blocked-name.txt"});
    EXPECT_EQ(Field(Lines(RunCli({"history"}).out).at(0), 5), "stopped");
    dir.File("src/c.txt", "longer");
    dir.File("dst/c.txt", "short");
    dir.File("alt/c.txt", "already");
    dir.File("src/new.txt", "new");
    const CliRun merge = RunCli(Words("merge F/src F/dst F/alt", dir.Path()));
    EXPECT_EQ(merge.status, 1);
    EXPECT_EQ(merge.err, "Error: could not move c.txt to " + dir / "alt" + ": File exists\n");
    EXPECT_EQ(merge.out,
              "There were a total of 2 files.\n"
              "  2 were moved normally to the destination folder.\n"
              "  0 existed in the destination folder with a different size - moved to alternate "
              "directory)\n"
              "  0 existed in the destination folder with the same size - not moved)\n");
    EXPECT_EQ(dir.Read("alt/c.txt") + dir.Read("src/c.txt"), "alreadylonger");
    std::remove((dir / "alt/c.txt").c_str());
    const CliRun merged = RunCli(Words("merge F/src F/dst F/alt", dir.Path()));
    EXPECT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(merged.err, "");
}

TEST(CliUsage, BadArgumentsAreNamedAndChangeNothing) {
    TempFolder dir;
    dir.File("a.txt");
    dir.Folder("sub");
    const std::pair<const char*, const char*> cases[] = {
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
    for (const auto& [args, named] : cases) {
        SCOPED_TRACE(args);
        const CliRun run = RunCli(Words(args, dir.Path()));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        const Strings lines = Lines(run.err);
        ASSERT_EQ(lines.size(), 1u) << run.err;
        EXPECT_EQ(lines[0].rfind("tidemark-cli: ", 0), 0u) << lines[0];
        EXPECT_NE(lines[0].find(named), std::string::npos) << lines[0];
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

TEST(CliUndo, HistoryUndoAndRedo) {
    StateFolder state;
    TempFolder dir;
    dir.File("a1.txt", "one");
    dir.File("a2.txt", "two");
    dir.File("b.txt", "bee");
    const Strings before = dir.Names();
    // The log lines come only with --log, on standard error.
    const CliRun logged = RunCli(Words("rename F --replace a --with c --log", dir.Path()));
    ASSERT_EQ(logged.status, 0);
    EXPECT_EQ(logged.err.rfind("OnPerformFileRename - Enter\n", 0), 0u) << logged.err;
    const Strings renamed = dir.Names();
    const Strings history = Lines(RunCli({"history"}).out);
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(Field(history[0], 0) + Field(history[0], 2) + Field(history[0], 3) +
                  Field(history[0], 4) + Field(history[0], 5),
              "1rename" + dir.Path() + "3complete");
    const CliRun dry = RunCli({"undo", "--dry-run"});
    EXPECT_EQ(dry.status, 0);
    EXPECT_EQ(dry.out, "would undo 2 steps of rename in " + dir.Path() + "\n");
    EXPECT_EQ(dir.Names(), renamed);
    const CliRun undo = RunCli({"undo"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(undo.out, "undid 2 steps of rename in " + dir.Path() + "\n");
    EXPECT_EQ(dir.Names(), before);
    const std::string json = RunCli({"history", "--json"}).out;
    for (const char* part : {"\"operation\":\"undo\"", "\"number\":2,", "\"state\":\"undone\""}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << json;
    }

    // Nothing left to undo; the same batch again is refused; the undo itself can be undone.
    EXPECT_EQ(RunCli({"undo"}).err, "tidemark-cli: there is no batch to undo\n");
    const CliRun again = RunCli({"undo", "2"});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("already been undone"), std::string::npos);
    EXPECT_EQ(RunCli({"undo", "1"}).status, 0);
    EXPECT_EQ(dir.Names(), renamed);

    // b.txt kept its name (no step). A step whose old name is taken is skipped, listed, status 1.
    dir.File("a2.txt", "new");
    const CliRun blocked = RunCli({"undo", "--json"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.out.find("\"undone\":1,\"skipped\":[\"" + dir.Path() +
                               "/c2.txt: the old name a2.txt is taken; not undone\"]"),
              std::string::npos)
        << blocked.out;
    EXPECT_EQ(dir.Read("a2.txt"), "new");
    EXPECT_EQ(RunCli({"undo", "0"}).status, 2);
}

}  // namespace
}  // namespace tidemark::testing
