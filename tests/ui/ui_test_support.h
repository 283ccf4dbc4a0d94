#pragma once
// Shared by every GUI test: the application, recorded dialogs, a rename-window fixture.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace tidemark::app {
class CMainFrame;
}
namespace tidemark::ui {
class CRenameListPane;
class CRenameMstrView;
}  // namespace tidemark::ui

namespace tidemark::testing {

// Makes the QApplication on first use (offscreen when no platform was chosen) and returns it.
QApplication& EnsureApplication();

// Handles every posted event, so that posted messages have run.
void ProcessPostedEvents();

struct RecordedMessage {
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// While alive, message boxes are recorded instead of shown, and the browse dialog answers with
// the queued picks (a null QString cancels; so does an empty queue).
class DialogRecorder {
  public:
    DialogRecorder();
    ~DialogRecorder();
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    // The texts of the messages, each checked to be an error.
    std::vector<QString> Errors() const;

    std::vector<RecordedMessage> messages;
    std::vector<QString> picks;
    // The title and starting folder of each browse dialog asked for.
    std::vector<std::pair<QString, QString>> browseRequests;
};

// Sets an environment variable for the life of the object, restoring the old value after.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// Changes the process's current folder for the life of the object.
class ScopedCurrentFolder {
  public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

  private:
    std::string old_;
};

QString Q(const std::string& text);
// A list of UTF-8 texts.
QStringList Texts(std::initializer_list<const char*> texts);

// The named child, with a test failure when there is none.
template <class T>
T* Child(const QWidget* parent, const char* name) {
    auto* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}
template <class T>
T* Child(const QWidget& parent, const char* name) {
    return Child<T>(&parent, name);
}

// The entries of a box, the items of a list.
QStringList Entries(const QComboBox* box);
QStringList Items(const QListWidget* list);

// The texts of one column of a list, once posted messages have run.
std::vector<std::string> ColumnTexts(const ui::CRenameListPane* pane, int column = 0);

// A main frame whose rename window is opened on `folder`; tmk.ini lives in a folder of its own.
class RenameWindowFixture : public ::testing::Test {
  protected:
    RenameWindowFixture();
    ~RenameWindowFixture() override;
    // Opens the rename window, active, on `folder`; null when it did not open.
    ui::CRenameMstrView* OpenWindow();
    void ClickRow(ui::CRenameListPane* pane, int row, Qt::KeyboardModifiers modifiers = {});

    TempFolder folder;
    TempFolder iniFolder;
    ScopedEnv ini{"TMK_INI", iniFolder / "tmk.ini"};
    DialogRecorder dialogs;
    std::unique_ptr<app::CMainFrame> frame;
    ui::CRenameMstrView* view = nullptr;
};

}  // namespace tidemark::testing
