// The folder dialogs' host: wait cursor, delayed progress dialog, messages shown unobstructed.

#include "ui/dialog_ops_host.h"

#include <QApplication>
#include <QCursor>
#include <QProgressDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"

namespace tidemark::ui {
namespace {

using tidemark::testing::DialogRecorder;

bool WaitCursorShown() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

TEST(DialogOpsHostTest, WaitCursorAndProgressLastUntilTheOperationEndsOrSpeaks) {
    tidemark::testing::EnsureApplication();
    DialogRecorder dialogs;
    QWidget owner;
    {
        DialogOpsHost host(&owner, QStringLiteral("Intelligent Merge"),
                           QStringLiteral("Merging files..."));
        EXPECT_TRUE(WaitCursorShown());
        QProgressDialog* progress = host.ProgressDialog();
        ASSERT_NE(progress, nullptr);
        EXPECT_EQ(progress->minimumDuration(), 500);
        EXPECT_EQ(progress->windowTitle(), QStringLiteral("Intelligent Merge"));
        // A short operation never shows it.
        EXPECT_FALSE(progress->isVisible());

        host.Progress(3, 10);
        EXPECT_EQ(progress->maximum(), 10);
        EXPECT_EQ(progress->value(), 3);
        EXPECT_EQ(progress->labelText(), QStringLiteral("Merging files...\n3 of 10 files"));

        host.ShowMessage("summary", "Merge Info");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("summary"));
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Merge Info"));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(host.ProgressDialog(), nullptr);

        // Work after a message is busy again.
        host.Progress(4, 10);
        EXPECT_TRUE(WaitCursorShown());
        ASSERT_NE(host.ProgressDialog(), nullptr);
        EXPECT_EQ(host.ProgressDialog()->value(), 4);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tidemark::ui
