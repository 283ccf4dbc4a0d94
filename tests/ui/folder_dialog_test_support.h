#pragma once
// Running a folder dialog modally from its File menu command, the test driving it inside.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTimer>

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/ui/ui_test_support.h"

namespace tidemark::testing {

struct ModalRun {
    bool opened = false;    // the dialog was found open
    bool leftOpen = false;  // still open when drive returned (the test then cancelled it)
    int result = -1;        // QDialog::Accepted or Rejected
};

// Triggers action; once the modal dialog of type Dialog runs, drive works on it. A dialog that
// drive leaves open is cancelled so that the run always ends.
template <class Dialog>
ModalRun RunFromMenu(QAction* action, const std::function<void(Dialog&)>& drive) {
    ModalRun run;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        run.opened = true;
        QObject::connect(dialog, &QDialog::finished, [&run](int result) { run.result = result; });
        drive(*dialog);
        run.leftOpen = dialog->isVisible();
        if (run.leftOpen) {
            dialog->reject();
        }
    });
    action->trigger();
    return run;
}

// Whether the dialog shows a label with exactly this text.
inline bool HasLabel(QWidget& parent, const QString& text) {
    for (const QLabel* label : parent.findChildren<QLabel*>()) {
        if (label->text() == text) {
            return true;
        }
    }
    return false;
}

// Types into a folder box as the user does (the box has the focus), then moves the focus on.
inline void TypeIntoBox(QComboBox* box, const QString& text, QWidget* next) {
    box->setFocus();
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), text);
    next->setFocus();
}

// Whether the dialog shows every one of these labels.
inline void ExpectLabels(QWidget& parent, std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        EXPECT_TRUE(HasLabel(parent, QString::fromUtf8(text))) << text;
    }
}

// tmk.ini and the current folder (which the dialogs' listings change) in a temporary folder,
// message boxes recorded.
class FolderDialogFixture : public ::testing::Test {
  protected:
    FolderDialogFixture() { EnsureApplication(); }

    void WriteIni(const std::string& text) { std::ofstream(work / "tmk.ini") << text; }
    std::string IniText() const {
        std::ifstream in(work / "tmk.ini");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<QString> Errors() const { return dialogs.Errors(); }

    TempFolder work;
    ScopedEnv ini{"TMK_INI", work / "tmk.ini"};
    ScopedCurrentFolder here{work.Path()};
    DialogRecorder dialogs;
};

}  // namespace tidemark::testing
