#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>

#include "catalogue/file_record.h"
#include "tests/cli/run_cli.h"
#ifdef TIDEMARK_CLI_MIME_TYPES
#include "typenames/mime_type_namer.h"
#endif

namespace tidemark::testing {
namespace {

Strings Column(const std::string& out, std::size_t column) {
    Strings values;
    for (const std::string& line : Lines(out)) {
        values.push_back(Field(line, column));
    }
    return values;
}

std::string WindowType(const std::string& name, bool isFolder) {
#ifdef TIDEMARK_CLI_MIME_TYPES
    static typenames::MimeTypeNamer namer;
    return namer.Lookup(name, isFolder).typeName;
#else
    return catalogue::DefaultTypeNamer(name, isFolder).typeName;
#endif
}

TEST(CliList, SevenColumnsInTheOrderOfTheColumnClicks) {
    TempFolder dir;
    dir.Folder("b");
    dir.Folder("A");
    dir.SizedFile("z.txt", 100);
    dir.SizedFile("Y.txt", 50);
    dir.SizedFile("x.png", 100);
    const CliRun byName = RunCli({"list", dir.Path()});
    ASSERT_EQ(byName.status, 0) << byName.err;
    const std::string folder = WindowType("b", true);
    EXPECT_EQ(Column(byName.out, 6),
              (Strings{folder, folder, WindowType("x.png", false), WindowType("Y.txt", false),
                       WindowType("z.txt", false)}));
    for (const std::string& line : Lines(byName.out)) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 6) << line;
    }
    EXPECT_EQ(Column(byName.out, 0), (Strings{"A", "b", "x.png", "Y.txt", "z.txt"}));
    const CliRun bySize = RunCli(Words("list F --sort size --desc", dir.Path()));
    EXPECT_EQ(bySize.status, 0) << bySize.err;
    EXPECT_EQ(Column(bySize.out, 0), (Strings{"z.txt", "x.png", "Y.txt", "b", "A"}));
}

TEST(CliRename, PreviewIsWhatRenameDoes) {
    const struct {
        const char* options;
        std::map<std::string, std::string> expected;  // old -> new, changed entries only
    } cases[] = {
        {"--replace a --with X",
         {{"alpha.txt", "XlphX.txt"}, {"Banana.AAA", "BXnXnX.AAA"}, {"cat.jpg", "cXt.jpg"}}},
        {"--replace A --with x --match-case", {{"Banana.AAA", "Banana.xxx"}}},
        {"--delete 2,3 --prepend p_ --case caps",
         {{"alpha.txt", "P_aa.txt"}, {"Banana.AAA", "P_bna.aaa"}, {"cat.jpg", "P_c.jpg"}}},
        {"--select cat.jpg --selected-only --insert - --at 2", {{"cat.jpg", "c-at.jpg"}}},
        {"--page number --pattern n??? --width 1 --base hex --start 15",
         {{"alpha.txt", "nf??"}, {"Banana.AAA", "n10??"}, {"cat.jpg", "n11??"}}},
        {"--page number --sort size --after --base alpha",
         {{"cat.jpg", "cata.jpg"}, {"alpha.txt", "alphab.txt"}, {"Banana.AAA", "Bananac.AAA"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        TempFolder dir;
        dir.Folder("dir");
        dir.SizedFile("alpha.txt", 20);
        dir.SizedFile("Banana.AAA", 30);
        dir.SizedFile("cat.jpg", 10);
        const CliRun preview = RunCli(Words(std::string("preview F ") + c.options, dir.Path()));
        ASSERT_EQ(preview.status, 0) << preview.err;
        std::map<std::string, std::string> shown;
        Strings expectedOnDisk;
        for (const std::string& line : Lines(preview.out)) {
            ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << line;
            if (Field(line, 0) != Field(line, 1)) {
                shown[Field(line, 0)] = Field(line, 1);
            }
            expectedOnDisk.push_back(Field(line, 1));
        }
        EXPECT_EQ(shown, c.expected);
        const CliRun rename = RunCli(Words(std::string("rename F ") + c.options, dir.Path()));
        EXPECT_EQ(rename.status, 0) << rename.err;
        EXPECT_EQ(rename.err, "");
        std::sort(expectedOnDisk.begin(), expectedOnDisk.end());
        EXPECT_EQ(dir.Names(), expectedOnDisk);
    }
}

TEST(CliPreview, SelectionMarksAndFileOrdinalsAsJson) {
    TempFolder dir;
    dir.Folder("f1");
    dir.Folder("f2");
    for (const char* name : {"a \"q\".txt", "b\\c.txt", "d.txt"}) {
        dir.File(name);
    }
    // Selected in reverse; folders selected too, which never take an ordinal.
    const CliRun run = RunCli(
        With(Words("preview F --page number --after --json --select d.txt --select f2 --select",
                   dir.Path()),
             {"a \"q\".txt", "--selected-only"}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "[\n"
              "{\"old\":\"f1\",\"new\":\"f1\",\"isFile\":false},\n"
              "{\"old\":\"f2\",\"new\":\"f2\",\"isFile\":false},\n"
              "{\"old\":\"a \\\"q\\\".txt\",\"new\":\"a \\\"q\\\"1.txt\",\"isFile\":true},\n"
              "{\"old\":\"b\\\\c.txt\",\"new\":\"b\\\\c.txt\",\"isFile\":true},\n"
              "{\"old\":\"d.txt\",\"new\":\"d2.txt\",\"isFile\":true}\n"
              "]\n");
    const CliRun one = RunCli(
        Words("preview F --json --order d.txt --page number --start 0 --before", dir.Path()));
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "[\n{\"old\":\"d.txt\",\"new\":\"0d.txt\",\"isFile\":true}\n]\n");
}

// A rename that is refused changes nothing; its preview marks the rows ("old:clash" in the
// JSON) and gives the same status, so that "preview && rename" never starts it.
TEST(CliRename, RejectionsLeaveEveryFileInPlace) {
    const std::string collision =
        "TMK: File naming was not started.  It was determined that a collision would have "
        "occurred if renaming was done - mulitple files with the same name are not allowed to "
        "exist in the same directory.  The collision would have been with ";
    const std::string oneCollides =
        "tidemark-cli: 1 name collides; rename would refuse this batch\n";
    const struct {
        Strings options;
        int status;
        std::string err;
        Strings marks = {};           // the preview's
        std::string previewErr = {};  // empty: the preview exits 0
    } cases[] = {
        {{"--change", "b"}, 42, collision + "a.txt to b.txt\n", {"a.txt:existing"}, oneCollides},
        {{"--change", "C"},
         42,
         collision + "b.txt to C.txt\n",
         {"a.txt:duplicate", "b.txt:duplicate"},
         "tidemark-cli: 2 names collide; rename would refuse this batch\n"},
        {{"--selected-only"}, 43, ""},
        {{"--select", "sub", "--selected-only", "--case", "upper"},
         41,
         "TMK: You are using the file Tab, but selected a folder to change and this is not "
         "allowed.\nThe selection is sub\n"},
        {Words("--page number --before --output move --dest /nonexistent/dest"), 41,
         "Error: You have chosen to move or copy the files to a different directory.  So, you "
         "must provide a destination directory.\n"},
        // The engine's message names the old name; a second line names the new one.
        {{"--change", "x/y"},
         21,
         "Error: Error ona.txt \r\n\r\nInvalid argument\nError: the new name 'x/y.txt' of "
         "'a.txt' cannot be a file name: Invalid argument\n",
         {"a.txt:invalid", "b.txt:invalid"},
         "tidemark-cli: 2 names cannot be file names; rename would refuse this batch\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        TempFolder dir;
        dir.Folder("sub");
        dir.File("a.txt", "A");
        dir.File("b.txt", "B");
        const CliRun run = RunCli(With({"rename", dir.Path()}, c.options));
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err, c.err);
        const CliRun preview = RunCli(With({"preview", dir.Path(), "--json"}, c.options));
        EXPECT_EQ(preview.status, c.previewErr.empty() ? 0 : c.status);
        EXPECT_EQ(preview.err, c.previewErr);
        Strings marks;
        for (const std::string& line : Lines(preview.out)) {
            if (const std::size_t at = line.find(",\"clash\":\""); at != std::string::npos) {
                marks.push_back(line.substr(8, line.find('"', 8) - 8) + ":" +
                                line.substr(at + 10, line.find('"', at + 10) - at - 10));
            }
        }
        EXPECT_EQ(marks, c.marks) << preview.out;
        EXPECT_EQ(dir.Names(), (Strings{"a.txt", "b.txt", "sub"}));
        EXPECT_EQ(dir.Read("a.txt") + dir.Read("b.txt"), "AB");
    }
}

// Names with tabs, line ends, bad UTF-8 come out whole: NUL-ended fields with -0; base64 in JSON.
TEST(CliPreview, NullSeparatedAndJsonOutputKeepEveryByte) {
    TempFolder dir;
    const Strings names = {"a\tb.txt", "line\nend\r.txt", "stray\xff.txt"};
    for (const std::string& name : names) {
        dir.File(name);
    }
    const CliRun list = RunCli({"list", dir.Path(), "-0"});
    ASSERT_EQ(list.status, 0) << list.err;
    const Strings listed = Lines(list.out, '\0');
    ASSERT_EQ(listed.size(), 7 * names.size());
    EXPECT_EQ(list.out.back(), '\0');
    std::string expected;
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(listed[7 * i], names[i]);
        expected += names[i] + '\0' + "x" + names[i] + '\0';
    }
    const CliRun preview = RunCli({"preview", dir.Path(), "--null", "--prepend", "x"});
    ASSERT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out, expected);
    const CliRun json = RunCli({"preview", dir.Path(), "--json", "--prepend", "x"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(Lines(json.out),
              (Strings{"[", R"({"old":"a\tb.txt","new":"xa\tb.txt","isFile":true},)",
                       R"({"old":"line\nend\r.txt","new":"xline\nend\r.txt","isFile":true},)",
                       R"({"old":"stray\udcff.txt","new":"xstray\udcff.txt","isFile":true,)"
                       R"("oldBase64":"c3RyYXn/LnR4dA==","newBase64":"eHN0cmF5/y50eHQ="})",
                       "]"}));
    EXPECT_EQ(RunCli({"preview", dir.Path(), "--json", "-0"}).status, 2);
}

// Output that cannot be written (a full disk) fails the command with a message.
TEST(CliList, FullOutputDeviceFailsTheCommand) {
    TempFolder dir;
    dir.File("a.txt");
    for (const char* command : {"list", "preview", "preview --json", "list --help"}) {
        const std::string line = CliCommand(Words(std::string(command) + " F", dir.Path())) +
                                 " >/dev/full 2>" + (dir / "err");
        const int status = std::system(line.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command << " " << status;
        EXPECT_EQ(dir.Read("err"), "tidemark-cli: standard output: No space left on device\n")
            << command;
    }
}

// Name-order previews read names and kinds only, yet tell folders (links too) as listings do.
TEST(CliPreview, KindsAsTheFullListingTellsThem) {
    TempFolder dir;
    dir.Folder("dir");
    dir.File(".hidden");
    dir.File("file.txt");
    ASSERT_EQ(symlink((dir / "dir").c_str(), (dir / "link-dir").c_str()), 0);
    ASSERT_EQ(symlink((dir / "file.txt").c_str(), (dir / "link-file").c_str()), 0);
    for (const char* order : {"", " --sort size"}) {
        const CliRun run =
            RunCli(Words(std::string("preview F --page folders --append _x") + order, dir.Path()));
        Strings renamed;
        for (const std::string& line : Lines(run.out)) {
            if (line.ends_with("_x")) {
                renamed.push_back(Field(line, 0));
            }
        }
        EXPECT_EQ(renamed, (Strings{"dir", "link-dir"})) << order;
    }
}

}  // namespace
}  // namespace tidemark::testing
