// The preview of a large folder: rows named when shown, marks and details found in the background.

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QSignalSpy>

#include <chrono>
#include <iterator>
#include <thread>

#include "catalogue/file_catalogue.h"
#include "rename/preview.h"
#include "tests/ui/ui_test_support.h"
#include "ui/catalogue_model.h"
#include "ui/collision_marker.h"
#include "ui/detail_reader.h"
#include "ui/number_page.h"
#include "ui/rename_page.h"

namespace tidemark::testing {
namespace {

class PreviewScaleTest : public RenameWindowFixture {
  protected:
    PreviewScaleTest() {
        for (int n = 0; n < 40; ++n) {
            std::string name = "f";
            name += std::to_string(n % 7);
            name += '_';
            name += std::to_string(n);
            n % 9 == 0 ? folder.Folder(name) : folder.File(name + (n % 2 ? ".txt" : ".JPG"));
        }
    }
    rename::RenameRules& Rules() { return dynamic_cast<ui::CRenamePage*>(view->Page(0))->Rules(); }
    rename::Numbering& Numbers() {
        return dynamic_cast<ui::CNumberPage*>(view->Page(3))->GetNumbering();
    }
    // The result names, asked for in a scattered order (17 is prime to 40 rows), not the walk's.
    std::vector<std::string> Shown() {
        const QAbstractItemModel* model = view->ResultPane()->model();
        const int rows = model->rowCount();
        std::vector<std::string> names(static_cast<std::size_t>(rows));
        for (int k = 0; k < rows; ++k) {
            const int row = k * 17 % rows;
            names[static_cast<std::size_t>(row)] =
                model->index(row, 0).data().toString().toStdString();
        }
        return names;
    }
    std::size_t Marks() { return view->ResultPane()->ListModel()->MarkCount(); }
};

TEST_F(PreviewScaleTest, RowsNamedWhenShownEqualTheWholeBatchWalk) {
    ASSERT_NE(OpenWindow(), nullptr);
    catalogue::FileCatalogue& catalogue = *view->Catalogue();
    const struct {
        int tab;
        bool selectedOnly;
        bool ascending;
        std::uint16_t base;
    } cases[] = {{0, false, true, 0},
                 {0, true, false, 0},
                 {3, false, true, rename::kBaseDecimal},
                 {3, true, true, rename::kBaseAlpha},
                 {3, true, false, rename::kBaseHex}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tab " << c.tab << " selected only " << c.selectedOnly
                                          << " ascending " << c.ascending << " base " << c.base);
        Rules().Options() = {};
        Rules().Options().DoPrepend = true;
        Rules().Options().Prepend = "p_";
        Rules().Options().SelOnly = c.selectedOnly;
        Numbers().Options() = {};
        Numbers().Options().PosMode = rename::kPosBefore;
        Numbers().Options().Start = 3;
        Numbers().Options().Incr = 2;
        Numbers().Options().Base = c.base;
        Numbers().Options().SelOnly = c.selectedOnly;
        catalogue.ascending = c.ascending;
        catalogue.selection = {30, 2, 17, 5, 11, 38, 0};
        view->TabControl()->setCurrentIndex(c.tab);
        view->FillLists();
        // The rename's own walk over the whole batch.
        const auto expected = [&] {
            std::vector<std::string> names;
            for (const rename::PreviewRow& row : c.tab == 3
                                                     ? rename::PreviewRows(catalogue, Numbers())
                                                     : rename::PreviewRows(catalogue, Rules())) {
                names.push_back(row.newName);
            }
            return names;
        };
        ASSERT_EQ(expected().size(), 40U);
        EXPECT_EQ(Shown(), expected());
        // A refresh after an option change names the rows again.
        Rules().Options().Prepend = "q_";
        Numbers().Options().Start = 7;
        view->RefreshResultNames();
        EXPECT_EQ(Shown(), expected());
    }
}

TEST_F(PreviewScaleTest, MarksComeFromTheBackgroundAndAStalePassIsDropped) {
    ASSERT_NE(OpenWindow(), nullptr);
    view->SetMarkAtOnceRows(0);
    ui::CollisionMarker* marker = view->Marker();
    QSignalSpy delivered(marker, &ui::CollisionMarker::MarksReady);
    Rules().Options().DoChgName = true;
    Rules().Options().ChgName = "same";
    const std::size_t clashes =
        rename::PreviewBatch(*view->Catalogue(), {.tabIndex = rename::kTabFiles, .rules = &Rules()})
            .clashCount;
    ASSERT_GT(clashes, 10U);
    view->RefreshResultNames();
    EXPECT_EQ(Marks(), 0U);
    ASSERT_TRUE(delivered.wait(5000));
    ProcessPostedEvents();
    EXPECT_EQ(Marks(), clashes);
    EXPECT_EQ(frame->StatusText(), QString::number(clashes) + QStringLiteral(" names collide"));

    // A pass that ends after the options changed again never shows its marks.
    delivered.clear();
    const std::uint64_t finished = marker->FinishedPasses();
    view->RefreshResultNames();
    QCoreApplication::sendPostedEvents(ui::MainFrameObject());  // not yet the pass's marks
    EXPECT_EQ(frame->StatusText(), QStringLiteral("Checking the new names for collisions..."));
    while (marker->FinishedPasses() == finished) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Rules().Options().DoChgName = false;
    view->RefreshResultNames();
    ASSERT_TRUE(delivered.wait(5000));
    while (marker->FinishedPasses() < finished + 2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ProcessPostedEvents();
    ASSERT_EQ(delivered.count(), 1);
    EXPECT_EQ(
        delivered.front().front().value<std::shared_ptr<const ui::CollisionMarks>>()->marks.size(),
        0U);
    EXPECT_EQ(Marks(), 0U);
}

// Opening reads names and kinds only; shown rows, size order and background records match the disk.
TEST_F(PreviewScaleTest, ShownDetailsTheSizeOrderAndTheBackgroundPassAreTheDisks) {
    const std::size_t sizes[] = {700, 5, 90, 3000};
    for (std::size_t n = 0; n < std::size(sizes); ++n) {
        // Two files in view, two far down (read by the order or in the background).
        const std::string name = (n < 2 ? "a" : "z") + std::to_string(n) + ".bin";
        folder.File(name, std::string(sizes[n], 'x'));
        folder.SetTime(name, 1'000'000'000 + static_cast<std::int64_t>(n) * 3'500'000);
    }
    ASSERT_NE(OpenWindow(), nullptr);
    view->Refresh();
    view->Details()->Drop();  // no background pass: the rows read their own details
    ProcessPostedEvents();
    catalogue::FileCatalogue full;
    ASSERT_EQ(full.LoadFolder(folder.Path()), catalogue::kOk);
    ui::CRenameListPane* source = view->SourcePane();
    const QAbstractItemModel* model = source->model();
    // Rows 0 to 6 are in view: the folders and the two files named "a".
    ASSERT_TRUE(source->viewport()->rect().contains(source->visualRect(model->index(6, 0))));
    std::vector<std::string> texts;
    for (int row = 0; row < 7; ++row) {
        catalogue::FormatRecord(full.GetRecords().at(source->ListModel()->RecordOfRow(row)), texts);
        for (const int column : {catalogue::kKeySize, catalogue::kKeyModified}) {
            EXPECT_EQ(model->index(row, column).data().toString().toStdString(), texts[column])
                << row;
        }
    }
    EXPECT_GT(view->Catalogue()->MissingDetails(), 0U);
    QHeaderView* header = source->header();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(catalogue::kKeySize) + 4, header->height() / 2));
    Names bySize;
    for (const std::uint32_t record : *full.GetOrder(catalogue::kKeySize)) {
        bySize.push_back(full.GetRecords()[record].name);
    }
    EXPECT_EQ(ColumnTexts(source), bySize);
    // A re-read in name order leaves the details to the background pass.
    view->Catalogue()->sortKey = catalogue::kKeyName;
    view->Refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Catalogue()->MissingDetails() == 0; }));
    for (std::size_t r = 0; r < full.GetRecords().size(); ++r) {
        const catalogue::FileRecord& read = view->Catalogue()->GetRecords()[r];
        EXPECT_EQ(read.size, full.GetRecords()[r].size) << read.name;
        EXPECT_EQ(read.modified, full.GetRecords()[r].modified) << read.name;
    }
}

}  // namespace
}  // namespace tidemark::testing
