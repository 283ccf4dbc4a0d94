#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPalette>
#include <QProgressBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <tuple>

#include "settings/ini_file.h"
#include "tests/ui/ui_test_support.h"
#include "ui/number_page.h"
#include "ui/rename_page.h"
#include "ui/sort_files_dialog.h"

namespace tidemark::ui {
namespace {

using namespace tidemark::testing;
using Rows = std::vector<int>;
using Selection = std::vector<std::uint32_t>;

class RenameWindowTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.File("beta/inner.txt", "x");
        folder.Folder("Alpha");
        folder.File("c.txt", std::string(30, 'c'));
        folder.File("a.jpg", std::string(10, 'a'));
        folder.File("b.TXT", std::string(20, 'b'));
        folder.File("d", std::string(5, 'd'));
        ASSERT_NE(OpenWindow(), nullptr);
        source = view->SourcePane();
        result = view->ResultPane();
        page = dynamic_cast<CRenamePage*>(view->Page(0));
    }

    rename::RenameOptions& Options() { return page->Rules().Options(); }
    void Prepend() {
        Options().DoPrepend = true;
        Options().Prepend = "x_";
    }
    void ClickHeader(CRenameListPane* pane, int column) {
        QHeaderView* header = pane->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        ProcessPostedEvents();
    }
    static void Drop(CRenameListPane* pane, const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(Q(path))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pane->viewport(), &drop);
    }

    const Names all = {"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d"};
    CRenameListPane* source = nullptr;
    CRenameListPane* result = nullptr;
    CRenamePage* page = nullptr;
};

TEST_F(RenameWindowTest, EverySelectionGestureSelectsWhatIsHighlighted) {
    // Pane, key (0: a click on the row), row, modifiers, the rows then selected.
    const std::tuple<CRenameListPane*, Qt::Key, int, Qt::KeyboardModifiers, Rows> steps[] = {
        {source, Qt::Key(0), 2, {}, {2}},
        {source, Qt::Key_End, 0, Qt::ShiftModifier, {2, 3, 4, 5}},
        {source, Qt::Key_A, 0, Qt::ControlModifier, {0, 1, 2, 3, 4, 5}},
        {result, Qt::Key(0), 1, {}, {1}},
        {result, Qt::Key(0), 3, Qt::ShiftModifier, {1, 2, 3}},
        {result, Qt::Key(0), 2, Qt::ControlModifier, {1, 3}},
    };
    for (const auto& [pane, key, row, modifiers, selected] : steps) {
        SCOPED_TRACE(::testing::Message() << key << " " << row << " " << modifiers);
        if (key == Qt::Key(0)) {
            ClickRow(pane, row, modifiers);
        } else {
            QTest::keyClick(pane, key, modifiers);
            ProcessPostedEvents();
        }
        EXPECT_EQ(source->SelectedRows(), selected);
        EXPECT_EQ(result->SelectedRows(), selected);
        EXPECT_EQ(view->Catalogue()->selection, Selection(selected.begin(), selected.end()));
    }
}

TEST_F(RenameWindowTest, ListsSortByAColumnClickAndSelectedOnlyFollowsTheSelection) {
    using Tester = QAbstractItemModelTester;
    Tester sourceTester(source->model(), Tester::FailureReportingMode::Fatal);
    Tester resultTester(result->model(), Tester::FailureReportingMode::Fatal);
    EXPECT_EQ(result->model()->columnCount(), 1);
    EXPECT_EQ(ColumnTexts(source, 1)[3], ".TXT");
    EXPECT_EQ(ColumnTexts(source, 2)[4], "30");
    EXPECT_EQ(source->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("Type"));
    const std::tuple<bool, int, const char*> nothing[] = {
        {false, rename::kRenameOk, "Nothing was renamed: the options change no name"},
        {true, rename::kRenameNothingToDo, "Nothing was renamed: no entry is selected"}};
    for (const auto& [selOnly, code, note] : nothing) {
        Options().SelOnly = selOnly;
        Options().DoPrepend = false;
        if (selOnly) {
            Prepend();
        }
        PostUserMessage(view, UM_REFRESHPREVIEW);
        EXPECT_EQ(Preview(), all);
        frame->statusBar()->clearMessage();
        EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), code);
        EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(note));
    }
    ClickRow(result, 3);
    ClickRow(source, 4, Qt::ControlModifier);
    EXPECT_EQ(Preview(), (Names{"Alpha", "beta", "a.jpg", "x_b.TXT", "x_c.txt", "d"}));
    // The header click moves the selected records to new rows: both lists highlight them there.
    const Names bySize = {"Alpha", "beta", "d", "a.jpg", "b.TXT", "c.txt"};
    ClickHeader(source, catalogue::kKeySize);
    EXPECT_EQ(ColumnTexts(source), bySize);
    EXPECT_EQ(source->SelectedRows(), (Rows{4, 5}));
    EXPECT_EQ(result->SelectedRows(), (Rows{4, 5}));
    EXPECT_EQ(view->Catalogue()->selection, (Selection{3, 4}));
    ClickHeader(source, catalogue::kKeySize);
    const Names descending(bySize.rbegin(), bySize.rend());
    EXPECT_EQ(ColumnTexts(source), descending);
    EXPECT_EQ(source->header()->sortIndicatorSection(), catalogue::kKeySize);
    EXPECT_EQ(source->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    ClickHeader(result, 0);
    EXPECT_EQ(ColumnTexts(source), descending);
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameOk);
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "beta", "d", "x_b.TXT", "x_c.txt"}));
}

TEST_F(RenameWindowTest, ClicksKeysDropsAndMessagesOpenFoldersEvenOnesThatCannotBeRead) {
    const auto key = [this](int row, Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        return [=, this] {
            source->setCurrentIndex(source->model()->index(row, 0));  // none for row -1
            QTest::keyClick(source, k, modifiers);
        };
    };
    const auto change = [this](const std::string& path) {
        return [=, this] {
            SendUserMessage(view, UM_CHANGEFOLDER, 0, path);
            EXPECT_NE(frame->StatusText(), Q(path));  // posted, so not yet
        };
    };
    const std::string top = folder.Path();
    const std::string beta = folder / "beta";
    const TempFolder elsewhere;
    const std::string locked = elsewhere.Folder("locked");
    elsewhere.File("locked/hidden.txt");
    chmod(locked.c_str(), 0);
    const Names inner = {"inner.txt"};
    const std::tuple<std::function<void()>, std::string, Names> steps[] = {
        {[&] {
             const QRect rect = result->visualRect(result->model()->index(1, 0));
             QTest::mouseDClick(result->viewport(), Qt::LeftButton, {}, rect.center());
         },
         beta, inner},
        {key(-1, Qt::Key_Backspace), top, all},
        {key(1, Qt::Key_Return), beta, inner},
        {key(-1, Qt::Key_Up, Qt::AltModifier), top, all},
        {key(2, Qt::Key_Return), top, all},  // a file row
        // A dropped entry opens the folder that holds it.
        {[&] { Drop(result, beta + "/inner.txt"); }, beta, inner},
        {[&] { Drop(source, beta); }, top, all},
        {change(folder / "missing"), folder / "missing", {}},
        // Permissions do not stop the superuser.
        {change(locked), locked, geteuid() == 0 ? Names{"hidden.txt"} : Names{}},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& [act, opened, shown] = steps[i];
        SCOPED_TRACE(i);
        act();
        ProcessPostedEvents();
        std::string asked;
        SendUserMessage(view, UM_GETFOLDER, 0, &asked);
        EXPECT_EQ(asked, opened);
        EXPECT_EQ(frame->StatusText(), Q(opened));
        EXPECT_EQ(ColumnTexts(source), shown);
        EXPECT_EQ(Preview(), shown);
    }
    chmod(locked.c_str(), 0755);
}

TEST_F(RenameWindowTest, RefreshAndFolderChangeDropTheSelectionAndTheCustomOrder) {
    folder.File("e.txt");
    const Names withNew = {"Alpha", "beta", "a.jpg", "b.TXT", "c.txt", "d", "e.txt"};
    const std::pair<std::function<void()>, Names> leave[] = {
        // F5 reaches the rename window wherever the focus is in the program.
        {[&] { QTest::keyClick(view->Page(0), Qt::Key_F5); }, withNew},
        {[&] { view->ChangeFolder(folder / "beta"); }, {"inner.txt"}}};
    for (const auto& [act, shown] : leave) {
        view->ChangeFolder(folder.Path());
        ClickRow(source, 2);
        ASSERT_FALSE(view->Catalogue()->selection.empty());
        // "Sort Files" ended with OK and nothing chosen: an empty custom order.
        view->Catalogue()->customOrder = true;
        SendUserMessage(view, UM_SETCUSTOMORDER, 0, catalogue::Order{});
        EXPECT_EQ(source->model()->rowCount(), 0);
        act();
        EXPECT_EQ(ColumnTexts(source), shown);
        EXPECT_EQ(Preview(), shown);
        EXPECT_FALSE(view->Catalogue()->customOrder);
        EXPECT_TRUE(view->Catalogue()->selection.empty());
        EXPECT_TRUE(source->SelectedRows().empty());
    }
}

TEST_F(RenameWindowTest, RowsStaySideBySideUnderEveryKindOfScrolling) {
    for (int i = 0; i < 300; ++i) {
        folder.File("file" + std::to_string(1000 + i));
    }
    view->Refresh();
    // Seven columns need a horizontal scroll bar here, the one of new names none.
    frame->resize(800, 600);
    ProcessPostedEvents();
    ASSERT_TRUE(source->horizontalScrollBar()->isVisible());
    ASSERT_FALSE(result->horizontalScrollBar()->isVisible());
    const auto topRow = [](CRenameListPane* pane) { return pane->indexAt(QPoint(1, 1)).row(); };
    const auto expectSideBySide = [&](const std::string& what) {
        ProcessPostedEvents();
        EXPECT_EQ(topRow(source), topRow(result)) << what;
        EXPECT_EQ(source->viewport()->height(), result->viewport()->height()) << what;
    };
    result->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    expectSideBySide("result dragged to its end");
    EXPECT_GT(topRow(source), 250);
    source->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    expectSideBySide("source dragged to its end");
    for (CRenameListPane* pane : {source, result}) {
        EXPECT_LE(pane->visualRect(pane->model()->index(305, 0)).bottom(),
                  pane->viewport()->height());
    }
    ClickRow(source, topRow(source));
    const std::pair<CRenameListPane*, Qt::Key> keys[] = {{source, Qt::Key_Home},
                                                         {source, Qt::Key_PageDown},
                                                         {result, Qt::Key_Down},
                                                         {result, Qt::Key_End}};
    for (const auto& [pane, key] : keys) {
        QTest::keyClick(pane, key);
        expectSideBySide(QKeySequence(key).toString().toStdString());
    }
    for (const QSize size : {QSize(700, 400), QSize(1100, 800), QSize(760, 500)}) {
        frame->resize(size);
        expectSideBySide("resized");
    }
    QTest::keyClick(source, Qt::Key_End);
    expectSideBySide("end after resizes");
}

TEST_F(RenameWindowTest, CollisionsAreMarkedAndRefusedARenameIsDoneOnDiskAndUndone) {
    const auto data = [this](int row, int role) {
        return result->model()->index(row, 0).data(role);
    };
    Click(page, "changeCheck");
    QTest::keyClicks(Edit(page, "changeEdit"), QStringLiteral("x"));
    ProcessPostedEvents();
    EXPECT_EQ(data(3, Qt::ToolTipRole), QStringLiteral("c.txt gets the same new name"));
    EXPECT_EQ(data(4, Qt::ToolTipRole), QStringLiteral("b.TXT gets the same new name"));
    EXPECT_EQ(data(4, Qt::ForegroundRole).value<QBrush>(),
              QGuiApplication::palette().brush(QPalette::Link));
    EXPECT_EQ(frame->StatusText(), QStringLiteral("2 names collide"));
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameCollision);
    EXPECT_EQ(messages.at(0).caption, QStringLiteral("TMK"));
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));
    Click(page, "changeCheck");
    ProcessPostedEvents();
    EXPECT_FALSE(data(3, Qt::ToolTipRole).isValid());
    EXPECT_FALSE(data(4, Qt::ForegroundRole).isValid());
    EXPECT_EQ(frame->StatusText(), Q(folder.Path()));
    Prepend();
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameOk);
    EXPECT_FALSE(Options().DoPrepend);
    EXPECT_EQ(Preview(), (Names{"Alpha", "beta", "x_a.jpg", "x_b.TXT", "x_c.txt", "x_d"}));
    EXPECT_EQ(frame->StatusText(),
              QStringLiteral("4 entries changed. File > Undo Last Batch can undo this batch."));
    auto* fileMenu = qobject_cast<QMenu*>(frame->UndoAction()->parent());
    ASSERT_NE(fileMenu, nullptr);
    QStringList texts;
    for (QAction* action : fileMenu->actions()) {
        texts << action->text();
    }
    EXPECT_EQ(texts, Texts({"Move On Length...", "Intelligent Merge...", "Rename...",
                            "Undo Last Batch", "", "E&xit"}));
    QMetaObject::invokeMethod(fileMenu, "aboutToShow");
    EXPECT_TRUE(frame->UndoAction()->isEnabled());
    QString asked;
    SetQuestionFunction([&](QWidget*, const QString& text, const QString&) {
        asked = text;
        return true;
    });
    messages.clear();
    frame->UndoAction()->trigger();
    SetQuestionFunction({});
    ProcessPostedEvents();
    EXPECT_EQ(asked, QStringLiteral("Undo this batch?\n\nOperation: rename\nFolder: ") +
                         Q(folder.Path()) + QStringLiteral("\nEntries: 4"));
    EXPECT_EQ(messages.at(0).text, QStringLiteral("4 entries were restored."));
    EXPECT_EQ(ColumnTexts(source), all);
    EXPECT_FALSE(frame->UndoAction()->isEnabled());
}

TEST_F(RenameWindowTest, LayoutHoldsFromTheLeastSizeUpAndWithALargeFont) {
    const QFont normal = QApplication::font();
    ASSERT_EQ(frame->size(), QSize(800, 600));
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.5);
    const std::pair<QSize, const QFont&> layouts[] = {
        {{800, 600}, normal}, {{700, 400}, normal}, {{700, 400}, large}};
    for (const auto& [size, font] : layouts) {
        QApplication::setFont(font);
        frame->resize(size);
        ProcessPostedEvents();
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(font.pointSizeF()));
        EXPECT_EQ(result->header()->sectionSize(0), result->viewport()->width());
        for (int tab = 0; tab < 4; ++tab) {
            view->TabControl()->setCurrentIndex(tab);
            ProcessPostedEvents();
            QWidget* page = view->CurrentPage();
            // Less than its least size squeezes captions; at the start it needs no scrolling.
            EXPECT_GE(page->width(), page->minimumSizeHint().width()) << tab;
            EXPECT_GE(page->height(), page->minimumSizeHint().height()) << tab;
            if (size == QSize(800, 600)) {
                EXPECT_EQ(page->size(), page->parentWidget()->size()) << tab;
            }
            int captions = 0;
            for (QWidget* widget : page->findChildren<QWidget*>()) {
                // One-line texts; the icon-only folder buttons have a fixed size of their own.
                auto* label = qobject_cast<QLabel*>(widget);
                auto* button = qobject_cast<QAbstractButton*>(widget);
                if (widget->isHidden() || !((button != nullptr && !button->text().isEmpty()) ||
                                            (label != nullptr && !label->wordWrap()))) {
                    continue;
                }
                ++captions;
                const std::string text = widget->property("text").toString().toStdString();
                EXPECT_GE(widget->width(), widget->sizeHint().width()) << text;
                EXPECT_TRUE(
                    page->rect().contains(QRect(widget->mapTo(page, QPoint(0, 0)), widget->size())))
                    << text;
            }
            EXPECT_GT(captions, 10) << tab;
            for (const char* name : {"renameButton", "closeButton", "clearButton"}) {
                const auto* button =
                    tab < 3 && font == normal ? Child<QPushButton>(page, name) : nullptr;
                const QWidget* shown = page->parentWidget();
                EXPECT_TRUE(button == nullptr ||
                            shown->rect().contains(
                                QRect(button->mapTo(shown, QPoint(0, 0)), button->size())))
                    << tab << name;
            }
        }
        auto* pattern = Child<QLineEdit>(view->Page(3), "patternEdit");
        EXPECT_GE(pattern->width(),
                  pattern->fontMetrics().horizontalAdvance(QStringLiteral("holiday_???.jpg")) + 8);
    }
    QApplication::setFont(normal);
}

TEST_F(RenameWindowTest, AStoppedBatchLeavesTheListsShowingTheDisk) {
    Prepend();
    // b.TXT goes away after it was listed: a.jpg is renamed, then the batch stops on b.TXT.
    std::filesystem::remove(folder / "b.TXT");
    view->SetBusyDelay(0);
    QString progressAtMessage;
    const MessageBoxFunction recorder = SetMessageBoxFunction(
        [&](QWidget* owner, const QString& text, const QString& caption, QMessageBox::Icon icon) {
            if (auto* bar = frame->findChild<QProgressBar*>(QStringLiteral("batchProgress"))) {
                progressAtMessage = QStringLiteral("%1/%2").arg(bar->value()).arg(bar->maximum());
            }
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
            recorder(owner, text, caption, icon);
        });
    EXPECT_EQ(SendUserMessage(view, UM_PERFORMRENAME), rename::kRenameFileOpFailed);
    SetMessageBoxFunction(recorder);
    EXPECT_TRUE(messages.at(0).text.startsWith(QStringLiteral("Error onb.TXT \r\n\r\n")));
    EXPECT_EQ(messages.at(0).icon, QMessageBox::Information);
    EXPECT_EQ(progressAtMessage, QStringLiteral("1/4"));
    EXPECT_EQ(frame->findChild<QProgressBar*>(QStringLiteral("batchProgress")), nullptr);
    EXPECT_EQ(ColumnTexts(source), (Names{"Alpha", "beta", "c.txt", "d", "x_a.jpg"}));
    // The rules stay on after a failure.
    EXPECT_EQ(Preview(), (Names{"Alpha", "beta", "x_c.txt", "x_d", "x_x_a.jpg"}));
}

TEST_F(RenameWindowTest, EnterInAFolderBoxOpensItAndRenameOpensATypedFolderFirst) {
    Prepend();
    QComboBox* box = view->Page(0)->FolderCombo();
    box->setFocus();
    const std::string file = folder / "c.txt";
    // Typed, opened, status note, messages.
    const std::tuple<std::string, std::string, QString, Errors> cases[] = {
        {folder / "beta", folder / "beta", {}, {}},
        {{}, folder / "beta", {}, {}},
        {file, file, Q(file) + QStringLiteral(" is a file, not a folder"), {}},
        {folder / "gone", file, {}, {QStringLiteral("That is not a valid path.")}},
        {folder.Path(), folder.Path(), {}, {}},
    };
    for (const auto& [typed, opened, note, errors] : cases) {
        SCOPED_TRACE(typed);
        if (!typed.empty()) {
            box->lineEdit()->selectAll();
            QTest::keyClicks(box, Q(typed));
        }
        frame->statusBar()->clearMessage();
        messages.clear();
        QTest::keyClick(box, Qt::Key_Return);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentFolder(), opened);
        EXPECT_EQ(frame->statusBar()->currentMessage(), note);
        EXPECT_EQ(ErrorTexts(), errors);
    }
    EXPECT_EQ(folder.Names(), (Names{"Alpha", "a.jpg", "b.TXT", "beta", "c.txt", "d"}));
    EXPECT_TRUE(folder.Exists("beta/inner.txt"));

    // "Rename" opens a typed folder first, and adds it to the history after a success.
    TempFolder other;
    other.File("b1.txt");
    const Names history = view->SourceHistory();
    Type(box->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(page, "renameButton");
    EXPECT_EQ(ErrorTexts(), Errors{QStringLiteral("That is not a valid path.")});
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
    // Nothing to rename: no history entry.
    page->Rules().Options().SelOnly = true;
    Click(page, "renameButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), history);
    page->Rules().Options().SelOnly = false;
    Type(box->lineEdit(), Q(other.Path()));
    Click(page, "renameButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), other.Path());
    EXPECT_EQ(other.Names(), Names{"b1.txt"});
    // Enter on a control that does not take it runs the default button.
    auto* check = Child<QCheckBox>(page, "selOnlyCheck");
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(other.Names(), Names{"x_b1.txt"});
    EXPECT_EQ(view->SourceHistory().front(), other.Path());

    // Four folders are kept, each once whatever its case; Down in the box opens the next one.
    for (const std::string& name : Names{"/p1", "/p2", "/p3", "/P2", folder.Path(), other.Path()}) {
        PostUserMessage(view, UM_ADDSOURCEFOLDER, 0, name);
    }
    ProcessPostedEvents();
    EXPECT_EQ(view->SourceHistory(), (Names{other.Path(), folder.Path(), "/P2", "/p3"}));
    box->setCurrentIndex(0);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder.Path());
}

TEST_F(RenameWindowTest, KeysSwitchTabsTheTitleFollowsAndAClickedTabFocusesItsPage) {
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int> tabKeys[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 3},
        {Qt::Key_Tab, Qt::ControlModifier, 0},
    };
    source->setFocus();
    for (const auto& [key, modifiers, tab] : tabKeys) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        ProcessPostedEvents();
        EXPECT_EQ(view->CurrentTab(), tab) << key;
        EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark - [%1]").arg(view->TabTitle(tab)));
    }
    QTabBar* bar = view->TabControl()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
    ProcessPostedEvents();
    EXPECT_EQ(QApplication::focusWidget(), view->Page(2)->FolderCombo());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Tidemark - [Rename Folders]"));
}

TEST_F(RenameWindowTest, SwitchesEnableTheirBoxesClearEmptiesThemAndCloseReadsNumbersSigned) {
    auto& o = page->Rules().Options();
    QLineEdit* pos = Edit(page, "delPosEdit");
    EXPECT_FALSE(Edit(page, "delNumEdit")->isEnabled());
    Click(page, "deleteCheck");
    EXPECT_TRUE(Edit(page, "delNumEdit")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    Type(pos, QStringLiteral("-3"));
    EXPECT_EQ(o.DelPos, 0);
    Type(pos, QStringLiteral("12"));
    Click(page, "deleteCheck");
    EXPECT_FALSE(o.DoDelete);
    EXPECT_FALSE(pos->isEnabled());
    EXPECT_EQ(o.DelPos, 12);
    const std::pair<const char*, int> radios[] = {{"caseLowerRadio", 1},
                                                  {"caseUpperRadio", 2},
                                                  {"caseInitialRadio", 4},
                                                  {"caseNoneRadio", 0},
                                                  {"caseCapsRadio", 3}};
    for (const auto& [name, mode] : radios) {
        Click(page, name);
        EXPECT_EQ(o.CaseMode, mode) << name;
    }
    // Showing a number below 1 shows "0", and the record then holds 0.
    o.LCrop = -5;
    o.DoLCrop = true;
    o.CaseMode = rename::kCaseUpper;
    page->ShowOptions();
    EXPECT_EQ(Edit(page, "leftCropEdit")->text(), QStringLiteral("0"));
    EXPECT_EQ(o.LCrop, 0);
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseUpperRadio")->isChecked());
    // After a rename the rule switches go off; the case choice stays.
    page->ResetPage();
    EXPECT_FALSE(Child<QAbstractButton>(page, "leftCropCheck")->isChecked());
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseUpperRadio")->isChecked());
    // "Clear" empties every box and restores the preview at once.
    Click(page, "prependCheck");
    QTest::keyClicks(Edit(page, "prependEdit"), QStringLiteral("p_"));
    EXPECT_EQ(Preview()[2], "P_A.jpg");
    Click(page, "clearButton");
    EXPECT_EQ(Preview(), all);
    EXPECT_EQ(o, rename::RenameOptions{});
    EXPECT_TRUE(Edit(page, "prependEdit")->text().isEmpty());
    EXPECT_FALSE(Edit(page, "prependEdit")->isEnabled());
    EXPECT_EQ(Edit(page, "delNumEdit")->text(), QStringLiteral("0"));
    for (QCheckBox* check : page->findChildren<QCheckBox*>()) {
        EXPECT_FALSE(check->isChecked()) << ToStdString(check->objectName());
    }
    EXPECT_TRUE(Child<QAbstractButton>(page, "caseNoneRadio")->isChecked());
    Click(page, "insertCheck");
    Type(Edit(page, "insPosEdit"), QStringLiteral("-3"));
    EXPECT_EQ(o.InsPos, 0);
    // "Close" reads the numbers signed, and posts the request: the window goes after the click.
    Click(page, "closeButton");
    EXPECT_EQ(o.InsPos, -3);
    EXPECT_NE(frame->RenameView(), nullptr);
    EXPECT_FALSE(frame->RenameAction()->isEnabled());
    ProcessPostedEvents();
    EXPECT_EQ(frame->RenameView(), nullptr);
    EXPECT_TRUE(frame->RenameAction()->isEnabled());
    EXPECT_FALSE(frame->MergeAction()->isEnabled());
}

class NumberPageTest : public RenameWindowFixture {
  protected:
    void SetUp() override {
        folder.Folder("sub");
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            folder.File(name, name);
        }
        Open();
    }
    void Open() {
        ASSERT_NE(OpenWindow(3), nullptr);
        page = dynamic_cast<CNumberPage*>(view->Page(3));
        ASSERT_NE(page, nullptr);
    }
    void SwitchTabAwayAndBack() {
        view->TabControl()->setCurrentIndex(0);
        view->TabControl()->setCurrentIndex(3);
        ProcessPostedEvents();
    }

    CNumberPage* page = nullptr;
};

TEST_F(NumberPageTest, BoxesRefuseKeysOutOfRangeAndRadiosAndPatternSetPositionAndWidth) {
    const rename::NumberOptions& o = page->GetNumbering().Options();
    auto* renumber = Child<QPushButton>(page, "renumberButton");
    QLineEdit* pos = Edit(page, "posEdit");
    QLineEdit* pattern = Edit(page, "patternEdit");
    EXPECT_FALSE(renumber->isEnabled());
    // "At position" with an empty box numbers nothing until a position is typed.
    Click(page, "posAtRadio");
    EXPECT_EQ(o.Pos, -1);
    EXPECT_TRUE(pos->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_TRUE(renumber->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), pos);
    QTest::keyClicks(pos, QStringLiteral("2"));
    EXPECT_EQ(Preview(), (Names{"sub", "a1.txt", "b2.txt", "c3.txt"}));
    SwitchTabAwayAndBack();
    EXPECT_TRUE(pos->text().isEmpty());
    EXPECT_EQ(Preview(), (Names{"sub", "1a.txt", "2b.txt", "3c.txt"}));
    Click(page, "posAfterRadio");
    EXPECT_EQ(o.Pos, -1);
    EXPECT_FALSE(pos->isEnabled());

    // The pattern sets the width box, and its "?" wins over an emptied position box.
    Type(Edit(page, "widthEdit"), QStringLiteral("5"));
    Click(page, "posPatternRadio");
    EXPECT_EQ(QApplication::focusWidget(), pattern);
    QTest::keyClicks(pattern, QStringLiteral("img??.jpg"));
    EXPECT_EQ(Edit(page, "widthEdit")->text(), QStringLiteral("2"));
    EXPECT_EQ(Preview(), (Names{"sub", "img01.jpg", "img02.jpg", "img03.jpg"}));
    Click(page, "posAtRadio");
    QTest::keyClicks(pos, QStringLiteral("1"));
    SwitchTabAwayAndBack();
    EXPECT_EQ(o.Pos, 3);
    EXPECT_EQ(o.Width, 2);
    Click(page, "posNoneRadio");
    EXPECT_FALSE(renumber->isEnabled());
    EXPECT_FALSE(pattern->isEnabled());
    EXPECT_TRUE(messages.empty());

    // Emptying the start box silently starts at 1.
    Type(Edit(page, "startEdit"), QStringLiteral("7"));
    Type(Edit(page, "startEdit"), QString());
    EXPECT_EQ(o.Start, 1);
    EXPECT_TRUE(page->GetNumbering().StartBoxEmpty());
    EXPECT_TRUE(messages.empty());
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"incrEdit", "", "Please input an increment between 1 and 1000."},
        {"startEdit", "10002", "Please input a start number between 0 and 10,001."},
        {"incrEdit", "1001", "Please input an increment between 1 and 1000."},
        {"widthEdit", "11", "Please input a number width between 0 and 10."},
        {"startEdit", "x", "Please input a start number between 0 and 10,001."},
    };
    for (const auto& [name, typed, message] : cases) {
        messages.clear();
        QLineEdit* edit = Edit(page, name);
        Type(edit, QString::fromLatin1(typed));
        EXPECT_EQ(ErrorTexts(), Errors{QString::fromLatin1(message)}) << typed;
        EXPECT_EQ(QApplication::focusWidget(), edit);
    }
    EXPECT_FALSE(page->GetNumbering().StartBoxEmpty());
    EXPECT_EQ(o.Start, 1000);
    EXPECT_EQ(o.Incr, 100);
    EXPECT_EQ(o.Width, 1);
}

TEST_F(NumberPageTest, TheDestinationIsEnabledByOutputAndCheckedWhenLeftEnteredOrBrowsed) {
    QComboBox* dest = page->DestCombo();
    auto* destBrowse = Child<QPushButton>(page, "destBrowseButton");
    const auto& options = page->GetNumbering().Options();
    EXPECT_FALSE(dest->isEnabled());
    const std::tuple<const char*, int, bool> outputs[] = {
        {"outputMoveRadio", rename::kOutputMove, true},
        {"outputRenameRadio", rename::kOutputRename, false},
        {"outputCopyRadio", rename::kOutputCopy, true}};
    for (const auto& [radio, output, enabled] : outputs) {
        Click(page, radio);
        EXPECT_EQ(options.Output, output);
        EXPECT_EQ(dest->isEnabled(), enabled);
        EXPECT_EQ(destBrowse->isEnabled(), enabled);
    }
    TempFolder target;
    Type(dest->lineEdit(), QStringLiteral("/no/such/folder"));
    Click(page, "selOnlyCheck");
    EXPECT_EQ(ErrorTexts(), Errors{QStringLiteral("The destination directory is not valid.")});
    EXPECT_EQ(options.DestDir, "");
    Click(page, "selOnlyCheck");
    // Enter in the box takes the folder, twice, and never runs "Renumber".
    Click(page, "posBeforeRadio");
    Type(dest->lineEdit(), Q(target.Path()));
    QTest::keyClick(dest, Qt::Key_Return);
    QTest::keyClick(dest, Qt::Key_Return);
    ProcessPostedEvents();
    EXPECT_EQ(options.DestDir, target.Path());
    EXPECT_TRUE(target.Names().empty());

    // Browsing opens a folder or picks a destination; a used destination heads its history.
    TempFolder copies;
    picks = {Q(folder / "sub"), QString(), Q(copies.Path())};
    Click(page, "browseButton");
    ProcessPostedEvents();
    EXPECT_EQ(view->CurrentFolder(), folder / "sub");
    EXPECT_TRUE(Preview().empty());
    folder.File("sub/s.txt");
    view->Refresh();
    Click(destBrowse);  // cancelled
    EXPECT_EQ(options.DestDir, target.Path());
    Click(destBrowse);
    EXPECT_EQ(dest->currentText(), Q(copies.Path()));
    EXPECT_EQ(browseRequests.at(0),
              std::make_pair(QStringLiteral("Select a folder"), Q(folder.Path())));
    EXPECT_EQ(browseRequests.at(1).second, Q(target.Path()));
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(copies.Names(), Names{"1s.txt"});
    EXPECT_EQ(view->DestHistory().front(), copies.Path());
}

TEST_F(NumberPageTest, RenumbersInTheOrderLaidDownWithSortFilesAndCancelDropsIt) {
    auto* customOrder = Child<QPushButton>(page, "customOrderButton");
    const auto sortFiles = [&](std::initializer_list<const char*> names, const char* button) {
        QTimer::singleShot(0, page, [&] {
            auto* dialog = page->findChild<CSortFilesDlg*>();
            ASSERT_NE(dialog, nullptr);
            auto* available = Child<QListWidget>(dialog, "availableList");
            for (const char* name : names) {
                available->clearSelection();
                available->findItems(QString::fromLatin1(name), Qt::MatchExactly)[0]->setSelected(
                    true);
                Click(dialog, "addButton");
            }
            Click(dialog, button);
        });
        Click(customOrder);
    };
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 0);
    EXPECT_FALSE(customOrder->isEnabled());
    ClickRow(view->SourcePane(), 2);
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    ASSERT_TRUE(customOrder->isEnabled());
    sortFiles({"c.txt", "b.txt"}, "cancelButton");
    EXPECT_FALSE(view->Catalogue()->customOrder);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (Names{"sub", "a.txt", "b.txt", "c.txt"}));
    ClickRow(view->SourcePane(), 1);
    ClickRow(view->SourcePane(), 2, Qt::ControlModifier);
    ClickRow(view->SourcePane(), 3, Qt::ControlModifier);
    sortFiles({"c.txt", "a.txt", "b.txt"}, "okButton");
    EXPECT_TRUE(view->Catalogue()->customOrder);
    EXPECT_EQ(ColumnTexts(view->SourcePane()), (Names{"c.txt", "a.txt", "b.txt"}));
    Click(page, "posBeforeRadio");
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(folder.Names(), (Names{"1c.txt", "2a.txt", "3b.txt", "sub"}));
    EXPECT_EQ(page->GetNumbering().Options().PosMode, rename::kPosNone);
}

TEST_F(NumberPageTest, ExitWritesTheSettingsAndTheNextWindowUsesThem) {
    TempFolder out;
    rename::RenameOptions& rules = dynamic_cast<CRenamePage*>(view->Page(0))->Rules().Options();
    rules.SelOnly = true;
    rules.RepOrig = "abc";
    PostUserMessage(view, UM_ADDSOURCEFOLDER, 0, folder.Path());
    ProcessPostedEvents();
    EXPECT_FALSE(work.Exists("tmk.ini"));  // nothing is written during the run
    frame.reset();
    const std::string text = work.Read("tmk.ini");
    for (const char* line : {"[NAME]", "ChkBox=TF", "RepOrig=abc", "Version=1.20"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    ASSERT_TRUE(settings::WriteProfileString("COMMON", "DestDir", out.Path() + ";/gone;",
                                             work / "tmk.ini"));
    Open();
    EXPECT_EQ(view->SourceHistory(), Names{folder.Path()});
    EXPECT_EQ(dynamic_cast<CRenamePage*>(view->Page(0))->Rules().Options().RepOrig, "abc");
    EXPECT_EQ(page->DestCombo()->currentText(), Q(out.Path()));
    Click(page, "outputCopyRadio");
    Click(page, "posBeforeRadio");
    Click(page, "renumberButton");
    ProcessPostedEvents();
    EXPECT_EQ(out.Names(), (Names{"1a.txt", "2b.txt", "3c.txt"}));
}

TEST(MessageBoxTest, ShowsPlainTextWithItsLineBreaksAndTheIconAskedFor) {
    EnsureApplication();
    const auto box =
        MakeMessageBox(nullptr, QStringLiteral("Error on<u>x.txt</u> \r\n\r\nNo such file"),
                       QStringLiteral("Error"), QMessageBox::Information);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->text(), QStringLiteral("Error on<u>x.txt</u> \n\nNo such file"));
    EXPECT_EQ(box->icon(), QMessageBox::Information);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Error"));
}

}  // namespace
}  // namespace tidemark::ui
