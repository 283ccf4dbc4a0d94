#include "rename/rename_execution.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "catalogue/file_catalogue.h"
#include "rename/preview.h"
#include "tests/rename/recorder.h"
#include "tests/support/temp_folder.h"

namespace tidemark::rename {
namespace {

using catalogue::FileCatalogue;
using testing::FileError;
using testing::Message;
using testing::Messages;
using testing::Names;
using testing::Recorder;
using tidemark::testing::TempFolder;

const std::string kEnter = "OnPerformFileRename - Enter";
const std::string kEnterInPlace = "OnPerformFileRename - Enter InPlace Rename";
const std::string kStartCheck = "ChkOnPerformFileRename - Start InPlace Collision Chk";
const std::string kBeforeSort = "ChkOnPerformFileRename - before QuickSortDWordArray";
const std::string kAfterSort = "ChkOnPerformFileRename - after QuickSortDWordArray";
const std::string kDoInPlace = "OnPerformFileRename - Do InPlace Rename";
const std::string kEnterDest = "OnPerformFileRename - Enter Diff Dest Rename";
const std::string kDestCheck = "OnPerformFileRename - Diff Dest Collision Chk";
const std::string kDoDest = "OnPerformFileRename - Do Diff Dest Rename";
const std::string kShowVisuals = "OnPerformFileRename - Show Proper Visuals\n";
const Names kDestChecked{kEnter, kEnterDest, kDestCheck};

Message Clash(const std::string& what) {
    return {
        "File naming was not started.  It was determined that a collision would have "
        "occurred if renaming was done - mulitple files with the same name are not allowed "
        "to exist in the same directory.  The collision would have been with " +
            what,
        "TMK"};
}

Message DestExists(const std::string& name) {
    return {"File Numbering Not Started!\n\nThe file   " + name +
                "   exists in the destination directory.",
            "TMK"};
}

struct Window {
    TempFolder dir;
    FileCatalogue catalogue;
    Recorder host;
    RenameRules pages[3] = {RenameRules(PageKind::Files), RenameRules(PageKind::Extensions),
                            RenameRules(PageKind::Folders)};
    Numbering numbering;
    Names made;    // files created by Make, each holding its own name
    Names before;  // the folder's entries when loaded

    void Make(const Names& folderNames, const Names& fileNames) {
        for (const auto& name : folderNames) {
            dir.Folder(name);
        }
        for (const auto& name : fileNames) {
            dir.File(name, name);
        }
        made = fileNames;
        ASSERT_EQ(catalogue.LoadFolder(dir.Path()), 1);
        before = dir.Names();
    }
    catalogue::Order Indices(const Names& names) const {
        catalogue::Order order;
        for (const auto& name : names) {
            const auto& records = catalogue.GetRecords();
            const auto it = std::find_if(records.begin(), records.end(),
                                         [&](const auto& record) { return record.name == name; });
            EXPECT_NE(it, records.end()) << name;
            order.push_back(it == records.end() ? 0 : static_cast<std::uint32_t>(it->index));
        }
        return order;
    }
    void CustomOrder(const Names& names) {
        catalogue.SetCustomOrderList(Indices(names));
        catalogue.customOrder = true;
    }
    void UsePattern(const std::string& pattern) {
        numbering.Options().PosMode = kPosPattern;
        numbering.SetPattern(pattern);
    }
    void NumberInto(const TempFolder& dest, std::uint16_t output) {
        numbering.Options().PosMode = kPosBefore;
        numbering.Options().Output = output;
        numbering.Options().DestDir = dest.Path();
    }
    int Run(int tab) {
        const RenameRequest request{tab, tab == kTabNumber ? nullptr : &pages[tab],
                                    tab == kTabNumber ? &numbering : nullptr};
        return OnPerformFileRename(catalogue, request, host);
    }
    // A rename that stopped: its messages and log, no window call, every file where it was.
    void ExpectStopped(const Messages& messages, const Names& logs) const {
        EXPECT_EQ(host.messages, messages);
        EXPECT_EQ(host.logs, logs);
        EXPECT_TRUE(host.calls.empty());
        EXPECT_EQ(dir.Names(), before);
        for (const auto& name : made) {
            EXPECT_EQ(dir.Read(name), name);
        }
    }
};

// "old>new", then " !" no file system holds the name, " =" an entry has it, " 2" batch duplicate.
Names Shown(const std::vector<PreviewRow>& rows) {
    Names shown;
    for (const PreviewRow& row : rows) {
        const char* mark[] = {"", " !", " =", " 2"};
        shown.push_back(row.oldName + ">" + row.newName + mark[static_cast<int>(row.clash)]);
    }
    return shown;
}

TEST(RenameExecutionPlan, CustomOrderSelectionAndKind) {
    Window w;
    w.Make({"D1", "D2"}, {"a.txt", "b.txt", "c.txt"});
    using Plan = std::vector<std::uint32_t>;
    Plan plan{99};
    EXPECT_EQ(BuildRenamePlan(w.catalogue, plan, false, true, kTabFiles, w.host), 1);
    EXPECT_EQ(plan, (Plan{2, 3, 4}));
    EXPECT_EQ(BuildRenamePlan(w.catalogue, plan, false, false, kTabFolders, w.host), 1);
    EXPECT_EQ(plan, (Plan{0, 1}));
    w.catalogue.selection = w.Indices({"c.txt", "a.txt"});  // the plan follows the rows
    EXPECT_EQ(BuildRenamePlan(w.catalogue, plan, true, true, kTabFiles, w.host), 1);
    EXPECT_EQ(plan, (Plan{2, 4}));
    // A custom order is taken as it stands (not the selection), less entries of the other kind.
    w.CustomOrder({"c.txt", "D1", "b.txt", "c.txt"});
    EXPECT_EQ(BuildRenamePlan(w.catalogue, plan, true, true, kTabNumber, w.host), 1);
    EXPECT_EQ(plan, (Plan{4, 3}));
    EXPECT_TRUE(w.host.messages.empty());

    // A folder selected on "Rename Files", and a file on "Rename Folders", stop the whole rename.
    w.catalogue.customOrder = false;
    w.pages[kTabFiles].Options() =
        w.pages[kTabFolders].Options() = {.SelOnly = true, .DoPrepend = true, .Prepend = "x"};
    w.catalogue.selection = w.Indices({"a.txt", "D2"});
    EXPECT_EQ(w.Run(kTabFiles), kRenameWrongSelection);
    w.catalogue.selection = w.Indices({"D1", "b.txt"});
    EXPECT_EQ(w.Run(kTabFolders), kRenameWrongSelection);
    const std::string tail = " to change and this is not allowed.\nThe selection is ";
    w.ExpectStopped({{"You are using the file Tab, but selected a folder" + tail + "D2", "TMK"},
                     {"You are using the folder Tab, but selected a file" + tail + "b.txt", "TMK"}},
                    {kEnter, kEnterInPlace, kEnter, kEnterInPlace});
}

// Stopped by the collision check, or by the move refusing an existing target (a custom order's
// check sees only its entries). Numbers count in letters from "z"; options go to the tab's page.
TEST(RenameExecutionInPlace, StoppedRenamesChangeNothing) {
    struct Case {
        const char* what;
        Names files;
        int tab;
        RenameOptions options;
        Names order, selection;  // a custom order; the selection
        int result;
        Message message;
    };
    const RenameOptions cropOne{.DoRCrop = true, .RCrop = 1};
    const std::vector<Case> cases = {
        Case("swap in a custom order", {"aa.txt", "z.txt"}, kTabNumber, {}, {"aa.txt", "z.txt"}, {},
             kRenameCollision, Clash("aa.txt to z.txt")),
        // Found before the first is renamed, without regard to case, and only the first.
        Case("three to one name", {"A1.txt", "a2.txt", "a3.txt"}, kTabFiles, cropOne, {}, {},
             kRenameCollision, Clash("a2.txt to a.txt")),
        Case("case change onto a name held twice", {"a.txt", "A.TXT", "c.txt"}, kTabExtensions,
             {.SelOnly = true, .CaseMode = kCaseUpper}, {}, {"c.txt", "a.txt"}, kRenameCollision,
             Clash("a.txt to a.TXT")),
        // x.txt becomes z.txt; z.txt is not in the order.
        Case("custom order onto a name outside it: the move refuses it",
             {"x.txt", "y.txt", "z.txt"}, kTabNumber, {}, {"x.txt"}, {}, kRenameFileOpFailed,
             FileError("x.txt", EEXIST)),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Window w;
        w.Make({}, c.files);
        w.UsePattern("?.txt");
        w.numbering.Options().Base = kBaseAlpha;
        w.numbering.Options().Start = 26;
        for (RenameRules& page : w.pages) {
            page.Options() = c.options;
        }
        if (!c.order.empty()) {
            w.CustomOrder(c.order);
        }
        w.catalogue.selection = w.Indices(c.selection);
        EXPECT_EQ(w.Run(c.tab), c.result);
        // Selected only or a custom order: the plan is sorted first.
        const bool sorted = !c.order.empty() || !c.selection.empty();
        Names logs{kEnter, kEnterInPlace, kStartCheck};
        if (sorted) {
            logs.insert(logs.end(), {kBeforeSort, kAfterSort});
        }
        if (c.result == kRenameFileOpFailed && sorted) {
            logs.push_back(kDoInPlace);
        }
        w.ExpectStopped({c.message}, logs);
    }
}

TEST(RenameExecutionDestination, RejectionsLeaveBothFoldersAsTheyWere) {
    struct Case {
        const char* pattern;  // empty: the destination folder is missing
        std::uint16_t base, incr;
        Message message;
        int result;
    };
    const Case cases[] = {
        {"",
         kBaseDecimal,
         1,
         {"You have chosen to move or copy the files to a different directory.  So, you must "
          "provide a destination directory.",
          "Error"},
         kRenameWrongSelection},
        {"?.txt", kBaseAlpha, 1, DestExists("A.TXT"), kRenameCollision},  // a.txt, b.txt
        {"n?.txt", kBaseDecimal, 0, DestExists("n1.txt"), kRenameCollision},
        {"sub/?.txt", kBaseDecimal, 1, FileError("x.dat", EINVAL), kRenameFileOpFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        Window w;
        TempFolder dest;
        dest.File("A.TXT", "kept");
        dest.Folder("sub");
        w.Make({}, {"x.dat", "y.dat"});
        w.NumberInto(dest, kOutputMove);
        w.UsePattern(c.pattern);
        w.numbering.Options().DestDir = *c.pattern == 0 ? dest / "none" : dest.Path();
        w.numbering.Options().Base = c.base;
        w.numbering.Options().Incr = c.incr;
        EXPECT_EQ(w.Run(kTabNumber), c.result);
        w.ExpectStopped({c.message}, kDestChecked);
        EXPECT_EQ(dest.Names(), (Names{"A.TXT", "sub"}));
        EXPECT_TRUE(dest.Names("sub").empty());
        EXPECT_EQ(dest.Read("A.TXT"), "kept");
    }
}

// A FIFO is never opened: a batch copying one is refused before any change; a move within one file
// system only renames it. A target appearing after the check is never overwritten.
TEST(RenameExecutionDestination, SpecialFilesAndLateTargets) {
    for (const std::uint16_t output : {kOutputCopy, kOutputMove}) {
        SCOPED_TRACE(output);
        Window w;
        TempFolder dest;
        ASSERT_EQ(mkfifo((w.dir / "b.pipe").c_str(), 0600), 0);
        w.Make({"keep"}, {"a.txt"});
        w.NumberInto(dest, output);
        EXPECT_EQ(Shown(PreviewRows(w.catalogue, w.numbering)),
                  (Names{"keep>keep", "a.txt>1a.txt", "b.pipe>2b.pipe"}));
        if (output == kOutputCopy) {
            EXPECT_EQ(w.Run(kTabNumber), kRenameFileOpFailed);
            w.ExpectStopped({FileError("b.pipe", platform::kNotCopyableError)}, kDestChecked);
            EXPECT_TRUE(dest.Names().empty());
        } else {
            EXPECT_EQ(w.Run(kTabNumber), kRenameOk);
            EXPECT_EQ(dest.Names(), (Names{"1a.txt", "2b.pipe"}));
            // A finished batch resets the page, remembers the folders and re-reads the source.
            EXPECT_EQ(w.host.logs, (Names{kEnter, kEnterDest, kDestCheck, kDoDest, kShowVisuals}));
            EXPECT_EQ(w.host.calls, (Names{"ResetPage", "AddSourceFolder " + w.dir.Path(),
                                           "AddDestFolder " + dest.Path(),
                                           "ChangeFolder " + w.dir.Path(), "RefreshPreview"}));
        }
    }
    Window w;
    TempFolder dest;
    w.Make({}, {"a.txt", "b.txt"});
    w.NumberInto(dest, kOutputCopy);
    w.host.onLog = [&](const std::string& line) {
        if (line == kDoDest) {
            dest.File("1a.txt", "theirs");
        }
    };
    EXPECT_EQ(w.Run(kTabNumber), kRenameFileOpFailed);
    w.ExpectStopped({FileError("a.txt", EEXIST)}, {kEnter, kEnterDest, kDestCheck, kDoDest});
    EXPECT_EQ(dest.Names(), (Names{"1a.txt"}));
    EXPECT_EQ(dest.Read("1a.txt"), "theirs");
}

// Rows in display order, the other kind left as it is, both rows of a duplicate marked.
TEST(Preview, RulesWalkTheRowsAndMarkWhatTheCheckWouldRefuse) {
    struct Case {
        bool ascending;
        RenameOptions options;
        Names shown;
        std::size_t count;
        NameClash first;
    };
    const Case cases[] = {
        Case(false, {.DoAppend = true, .Append = "_"},
             {"c.txt>c_.txt", "b.txt>b_.txt", "a.txt>a_.txt", "sub>sub"}, 0, NameClash::None),
        Case(true, {.DoChgName = true, .ChgName = "x"},
             {"sub>sub", "a.txt>x.txt 2", "b.txt>x.txt 2", "c.txt>x.txt 2"}, 3,
             NameClash::Duplicate),
        Case(true, {.DoReplace = true, .RepOrig = "B", .RepNew = "A"},
             {"sub>sub", "a.txt>a.txt", "b.txt>A.txt =", "c.txt>c.txt"}, 1, NameClash::Existing),
        // A name taken by another entry and by an earlier row is marked as taken.
        Case(true, {.DoChgName = true, .ChgName = "b"},
             {"sub>sub", "a.txt>b.txt =", "b.txt>b.txt", "c.txt>b.txt ="}, 2, NameClash::Existing),
        Case(false, {.DoReplace = true, .RepOrig = "a", .RepNew = "/"},
             {"c.txt>c.txt", "b.txt>b.txt", "a.txt>/.txt !", "sub>sub"}, 1, NameClash::Invalid),
    };
    for (const auto& c : cases) {
        Window f;
        f.Make({"sub"}, {"a.txt", "b.txt", "c.txt"});
        f.catalogue.ascending = c.ascending;
        RenameRules rules(PageKind::Files);
        rules.Options() = c.options;
        const Preview preview =
            PreviewBatch(f.catalogue, RenameRequest{.tabIndex = kTabFiles, .rules = &rules});
        EXPECT_EQ(Shown(preview.rows), c.shown);
        EXPECT_EQ(preview.clashCount, c.count);
        EXPECT_EQ(preview.firstClash, c.first);
        EXPECT_EQ(Shown(PreviewRows(f.catalogue, rules)), c.shown);
        EXPECT_EQ(preview.rows[c.ascending ? 3 : 0].recordIndex, 3u);
    }
}

TEST(RenameExecutionMessages, FileErrorsAndDestinationClashes) {
    EXPECT_EQ(ComposeFileErrorMessage("a.txt", "File exists"), "Error ona.txt \r\n\r\nFile exists");
    const std::string longText = ComposeFileErrorMessage("ab", std::string(5000, 'e'));
    EXPECT_EQ(longText.size(), kFileErrorBlock - 1);
    EXPECT_EQ(longText.substr(0, 16), "Error onab \r\n\r\ne");
    // 16 bytes before the text leave an odd room: the last two-byte character is dropped whole.
    std::string accents;
    for (int i = 0; i < 1000; ++i) {
        accents += "\xC3\xA9";
    }
    const std::string cut = ComposeFileErrorMessage("abc", accents);
    EXPECT_EQ(cut.size(), kFileErrorBlock - 2);
    EXPECT_EQ(cut.substr(cut.size() - 2), "\xC3\xA9");

    // The destination check finds a name in another case.
    DestinationNames names;
    names.Add("Sub");
    Recorder host;
    EXPECT_EQ(CheckNameInDestination(names, "SUB", host), kRenameCollision);
    EXPECT_EQ(CheckNameInDestination(names, "Su", host), kRenameOk);
    EXPECT_EQ(host.messages, Messages{DestExists("Sub")});
}

}  // namespace
}  // namespace tidemark::rename
