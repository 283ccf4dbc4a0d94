#include "rename/preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "tests/support/temp_folder.h"

namespace tidemark::rename {
namespace {

using Rows = std::vector<std::string>;

// "old>new" per row, then the row's mark: " !" no file system can hold the name, " =" another
// entry has it, " 2" another new name of the batch is the same.
Rows Shown(const std::vector<PreviewRow>& rows) {
    Rows shown;
    for (const PreviewRow& row : rows) {
        const char* mark[] = {"", " !", " =", " 2"};
        shown.push_back(row.oldName + ">" + row.newName + mark[static_cast<int>(row.clash)]);
    }
    return shown;
}

// Records 0 "sub", 1 "a.txt", 2 "b.txt", 3 "c.txt".
struct Folder {
    Folder() {
        dir.Folder("sub");
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            dir.File(name);
        }
        EXPECT_EQ(catalogue.LoadFolder(dir.Path()), catalogue::kOk);
    }
    tidemark::testing::TempFolder dir;
    catalogue::FileCatalogue catalogue;
};

// Rows in display order, the other kind left as it is, both rows of a duplicate marked.
TEST(Preview, RulesWalkTheRowsAndMarkWhatTheCheckWouldRefuse) {
    struct Case {
        bool ascending;
        RenameOptions options;
        Rows shown;
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
        Case(false, {.DoReplace = true, .RepOrig = "a", .RepNew = "/"},
             {"c.txt>c.txt", "b.txt>b.txt", "a.txt>/.txt !", "sub>sub"}, 1, NameClash::Invalid),
    };
    for (const auto& c : cases) {
        Folder f;
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
        EXPECT_EQ(preview.rows[c.ascending ? 0 : 3].isFile, false);
        EXPECT_EQ(preview.rows[1].isFile, true);
    }
}

// Only selected rows are renamed; the ordinal counts renamed files only, front to back of the
// order as the rename gives them, whatever the display direction. A custom order is renamed
// whole, each record once. Files moved away are checked among themselves, not against this
// folder's names.
TEST(Preview, SelectionAndNumbersAsTheRenameGivesThem) {
    Folder f;
    Numbering numbering;
    numbering.Options().PosMode = kPosBefore;
    numbering.Options().SelOnly = true;
    f.catalogue.selection = {3, 0, 1};
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"sub>sub", "a.txt>1a.txt", "b.txt>b.txt", "c.txt>2c.txt"}));
    f.catalogue.ascending = false;
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"c.txt>2c.txt", "b.txt>b.txt", "a.txt>1a.txt", "sub>sub"}));

    numbering.Options() = {};
    numbering.Options().Output = kOutputMove;
    numbering.Options().Base = kBaseAlpha;
    numbering.Options().Start = 2;
    numbering.Options().Incr = 0;  // b.txt for every file
    numbering.Options().PosMode = kPosPattern;
    numbering.SetPattern("?.txt");
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"c.txt>b.txt 2", "b.txt>b.txt 2", "a.txt>b.txt 2", "sub>sub"}));
    numbering.Options().Output = kOutputRename;
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"c.txt>b.txt =", "b.txt>b.txt", "a.txt>b.txt =", "sub>sub"}));

    numbering.Options() = {};
    numbering.Options().PosMode = kPosBefore;
    numbering.Options().SelOnly = true;
    f.catalogue.SetCustomOrderList({2, 0, 1, 2});
    f.catalogue.customOrder = true;  // walked front to back whatever the direction
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"b.txt>1b.txt", "sub>sub", "a.txt>2a.txt", "b.txt>b.txt"}));
}

}  // namespace
}  // namespace tidemark::rename
