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

// Each selected index marks one position of the order; the ordinal counts renamed files only,
// in display order; an index the order does not hold marks nothing.
TEST(Preview, SelectionMarksPositionsAndNumbersFilesInDisplayOrder) {
    Folder f;
    Numbering numbering;
    numbering.Options().PosMode = kPosBefore;
    numbering.Options().SelOnly = true;

    f.catalogue.selection = {3, 0, 1};
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"sub>sub", "a.txt>1a.txt", "b.txt>b.txt", "c.txt>2c.txt"}));

    f.catalogue.SetCustomOrderList({2, 1, 2});
    f.catalogue.customOrder = true;
    f.catalogue.ascending = false;  // a custom order is walked front to back all the same
    f.catalogue.selection = {2, 3};
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"b.txt>1b.txt", "a.txt>a.txt", "b.txt>b.txt"}));

    numbering.Options().SelOnly = false;
    EXPECT_EQ(Shown(PreviewRows(f.catalogue, numbering)),
              (Rows{"b.txt>1b.txt", "a.txt>2a.txt", "b.txt>3b.txt"}));
}

}  // namespace
}  // namespace tidemark::rename
