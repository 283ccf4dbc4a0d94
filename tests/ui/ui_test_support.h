#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "tests/support/temp_folder.h"
#include "ui/dialog_hooks.h"
#include "ui/messages.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::testing {

using Names = std::vector<std::string>;
using Errors = std::vector<QString>;

// Made on first use, offscreen unless a platform was chosen, never destroyed: at exit Qt's own
// statics may be gone, and tearing down then crashes in the input devices QTest registered.
inline QApplication& EnsureApplication() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

inline void ProcessPostedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

inline QString Q(const std::string& text) {
    return ui::ToQString(text);
}

inline QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

struct RecordedMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// The named child, with a test failure when there is none.
template <class T>
T* Child(const QWidget* parent, const char* name) {
    auto* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

template <class W>
QStringList Items(const W* widget) {
    QStringList items;
    for (int row = 0; row < widget->model()->rowCount(); ++row) {
        items << widget->model()->index(row, 0).data().toString();
    }
    return items;
}

inline Names ColumnTexts(const ui::CRenameListPane* pane, int column = 0) {
    ProcessPostedEvents();
    Names texts;
    for (int row = 0; row < pane->model()->rowCount(); ++row) {
        texts.push_back(ui::ToStdString(pane->model()->index(row, column).data().toString()));
    }
    return texts;
}

inline void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}
inline void Click(const QWidget* parent, const char* name) {
    Click(Child<QAbstractButton>(parent, name));
}
inline QLineEdit* Edit(const QWidget* parent, const char* name) {
    return Child<QLineEdit>(parent, name);
}

// Replaces an edit's text by typing, as a user who selected everything first.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
        QTest::keyClicks(edit, text);
    }
}

// Types into a folder box that has the focus, then moves the focus on.
inline void TypeIntoBox(QComboBox* box, const QString& text, QWidget* next) {
    box->setFocus();
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), text);
    next->setFocus();
}

inline void ExpectLabels(const QWidget& parent, std::initializer_list<const char*> texts) {
    QStringList shown;
    for (const QLabel* label : parent.findChildren<QLabel*>()) {
        shown << label->text();
    }
    for (const char* text : texts) {
        EXPECT_TRUE(shown.contains(QString::fromUtf8(text))) << text;
    }
}

// Triggers action; drive works on its modal Dialog, cancelled if left open. Returns the result.
template <class Dialog>
int RunFromMenu(QAction* action, const std::function<void(Dialog&)>& drive) {
    int result = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QObject::connect(dialog, &QDialog::finished, [&result](int done) { result = done; });
        drive(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    action->trigger();
    return result;
}

// tmk.ini, the batch journals (never the user's) and the current folder (which the dialogs'
// listings change) in a temporary folder of each test; message boxes are recorded, not shown; the
// browse dialog answers with the queued picks (a null QString, or an empty queue, cancels).
class AppFixture : public ::testing::Test {
  protected:
    AppFixture() {
        EnsureApplication();
        setenv("TMK_INI", (work / "tmk.ini").c_str(), 1);
        setenv("TMK_STATE", work.Folder("state").c_str(), 1);
        std::filesystem::current_path(work.Path());
        ui::SetMessageBoxFunction(
            [this](QWidget*, const QString& text, const QString& caption, QMessageBox::Icon icon) {
                messages.push_back({text, caption, icon});
            });
        ui::SetBrowseFolderFunction([this](QWidget*, const QString& title, const QString& start) {
            browseRequests.emplace_back(title, start);
            const QString pick = picks.isEmpty() ? QString() : picks.takeFirst();
            return pick.isNull() ? std::nullopt : std::optional<QString>(pick);
        });
    }
    ~AppFixture() override {
        ui::SetMessageBoxFunction({});
        ui::SetBrowseFolderFunction({});
        std::error_code ignored;
        std::filesystem::current_path(oldFolder, ignored);
    }

    // The texts of the messages, each checked to be captioned "Error".
    Errors ErrorTexts() const {
        Errors texts;
        for (const RecordedMessage& m : messages) {
            EXPECT_EQ(m.caption, QStringLiteral("Error")) << m.text.toStdString();
            texts.push_back(m.text);
        }
        return texts;
    }

    std::filesystem::path oldFolder = std::filesystem::current_path();
    TempFolder work;
    std::vector<RecordedMessage> messages;
    QStringList picks;
    std::vector<std::pair<QString, QString>> browseRequests;  // title, starting folder
};

class RenameWindowFixture : public AppFixture {
  protected:
    ~RenameWindowFixture() override {
        frame.reset();
        ProcessPostedEvents();
    }

    // Opens the rename window, active, on `folder`, with `tab` in front; null when it did not.
    ui::CRenameMstrView* OpenWindow(int tab = 0) {
        frame = std::make_unique<app::CMainFrame>();
        frame->show();
        frame->RenameAction()->trigger();
        view = frame->RenameView();
        frame->activateWindow();
        if (view == nullptr || !QTest::qWaitForWindowActive(frame.get())) {
            return nullptr;
        }
        view->ChangeFolder(folder.Path());
        view->TabControl()->setCurrentIndex(tab);
        ProcessPostedEvents();
        return view;
    }
    void ClickRow(ui::CRenameListPane* pane, int row, Qt::KeyboardModifiers modifiers = {}) {
        const QRect rect = pane->visualRect(pane->model()->index(row, 0));
        QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers, rect.center());
        ProcessPostedEvents();
    }
    Names Preview() { return ColumnTexts(view->ResultPane()); }

    TempFolder folder;
    std::unique_ptr<app::CMainFrame> frame;
    ui::CRenameMstrView* view = nullptr;
};

}  // namespace tidemark::testing
