#include "rename/preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "tests/support/temp_folder.h"

namespace tidemark::rename {
namespace {

using Rows = std::vector<std::string>;  // "old>new" per row

Rows Shown(const std::vector<PreviewRow>& rows) {
    Rows shown;
    for (const PreviewRow& row : rows) {
        shown.push_back(row.oldName + ">" + row.newName);
    }
    return shown;
}

// Records 0 "sub", 1 "a.txt", 2 "b.txt", 3 "c.txt".
struct Folder {
    Folder() {
        dir.Folder("sub");
        dir.File("a.txt");
        dir.File("b.txt");
        dir.File("c.txt");
        EXPECT_EQ(catalogue.LoadFolder(dir.Path()), catalogue::kOk);
    }
    testing::TempFolder dir;
    catalogue::FileCatalogue catalogue;
};

TEST(Preview, RulesWalkTheRowsAndLeaveTheOtherKind) {
    Folder f;
    RenameRules rules(PageKind::Files);
    rules.Options().DoAppend = true;
    rules.Options().Append = "_";
    f.catalogue.ascending = false;
    const std::vector<PreviewRow> rows = PreviewRows(f.catalogue, rules);
    EXPECT_EQ(Shown(rows), (Rows{"c.txt>c_.txt", "b.txt>b_.txt", "a.txt>a_.txt", "sub>sub"}));
    EXPECT_EQ(rows[0].recordIndex, 3u);
    EXPECT_TRUE(rows[0].isFile);
    EXPECT_FALSE(rows[3].isFile);
}

// Only selected rows are renamed; the ordinal counts renamed files only, front to back of the
// order as the rename gives them, whatever the display direction. A custom order is renamed
// whole, each record once.
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

    // Files moved away are not checked against this folder's names, but among themselves.
    numbering.Options().SelOnly = false;
    numbering.Options().Output = kOutputMove;
    numbering.Options().PosMode = kPosPattern;
    numbering.SetPattern("?.txt");
    numbering.Options().Base = kBaseAlpha;
    numbering.Options().Start = 2;
    numbering.Options().Incr = 0;  // b.txt for every file
    const std::vector<PreviewRow> moved = PreviewRows(f.catalogue, numbering);
    EXPECT_EQ(moved[2].clash, NameClash::Duplicate);
    EXPECT_EQ(moved[1].clash, NameClash::Duplicate);
    numbering.Options().Output = kOutputRename;
    EXPECT_EQ(PreviewRows(f.catalogue, numbering)[2].clash, NameClash::Existing);

    numbering.Options() = NumberOptions{};
    numbering.Options().PosMode = kPosBefore;
    numbering.Options().SelOnly = true;
    f.catalogue.SetCustomOrderList({2, 0, 1, 2});
    f.catalogue.customOrder = true;  // walked front to back whatever the direction
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"b.txt>1b.txt", "sub>sub", "a.txt>2a.txt", "b.txt>b.txt"}));
}

// Rows whose new name cannot be carried out are marked ("!" no file system can hold it, "="
// another entry has it, "2" another new name of the batch), both rows of a duplicate.
TEST(Preview, MarksWhatTheCheckWouldRefuse) {
    Folder f;
    using O = RenameOptions;
    const struct {
        RenameOptions options;
        Rows shown;
        std::size_t count;
    } cases[] = {
        {O{.DoChgName = true, .ChgName = "x"},
         {"sub>sub", "a.txt>x.txt 2", "b.txt>x.txt 2", "c.txt>x.txt 2"},
         3},
        {O{.DoReplace = true, .RepOrig = "B", .RepNew = "A"},
         {"sub>sub", "a.txt>a.txt", "b.txt>A.txt =", "c.txt>c.txt"},
         1},
        {O{.DoReplace = true, .RepOrig = "a", .RepNew = "/"},
         {"sub>sub", "a.txt>/.txt !", "b.txt>b.txt", "c.txt>c.txt"},
         1},
        {O{.CaseMode = kCaseUpper}, {"sub>sub", "a.txt>A.txt", "b.txt>B.txt", "c.txt>C.txt"}, 0},
    };
    for (const auto& c : cases) {
        RenameRules rules(PageKind::Files);
        rules.Options() = c.options;
        const Preview preview =
            PreviewBatch(f.catalogue, RenameRequest{.tabIndex = kTabFiles, .rules = &rules});
        Rows shown;
        for (const PreviewRow& row : preview.rows) {
            const char* mark[] = {"", " !", " =", " 2"};
            shown.push_back(row.oldName + ">" + row.newName + mark[static_cast<int>(row.clash)]);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(preview.clashCount, c.count);
    }
}

}  // namespace
}  // namespace tidemark::rename
