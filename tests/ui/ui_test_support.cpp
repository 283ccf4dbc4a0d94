#include "tests/ui/ui_test_support.h"

#include <QApplication>
#include <QTest>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/main_frame.h"
#include "ui/dialog_hooks.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::testing {

QApplication& EnsureApplication() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return *existing;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit Qt's own global statics may already be gone, and tearing the
    // application down then crashes in the input devices that QTest's events registered.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

void ProcessPostedEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

DialogRecorder::DialogRecorder() {
    ui::SetMessageBoxFunction(
        [this](QWidget*, const QString& text, const QString& caption, QMessageBox::Icon icon) {
            messages.push_back({text, caption, icon});
        });
    ui::SetBrowseFolderFunction(
        [this](QWidget*, const QString& title, const QString& start) -> std::optional<QString> {
            browseRequests.emplace_back(title, start);
            const QString pick = picks.empty() ? QString() : picks.front();
            if (!picks.empty()) {
                picks.erase(picks.begin());
            }
            return pick.isNull() ? std::nullopt : std::optional<QString>(pick);
        });
}

std::vector<QString> DialogRecorder::Errors() const {
    std::vector<QString> texts;
    for (const RecordedMessage& m : messages) {
        EXPECT_EQ(m.caption, QStringLiteral("Error")) << m.text.toStdString();
        texts.push_back(m.text);
    }
    return texts;
}

DialogRecorder::~DialogRecorder() {
    ui::SetMessageBoxFunction({});
    ui::SetBrowseFolderFunction({});
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
        old_ = old;
    }
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (old_) {
        setenv(name_.c_str(), old_->c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder)
    : old_(std::filesystem::current_path().string()) {
    std::filesystem::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(old_, ignored);
}

QString Q(const std::string& text) {
    return ui::ToQString(text);
}

QStringList Texts(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) {
        list << QString::fromUtf8(text);
    }
    return list;
}

QStringList Entries(const QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) {
        entries << box->itemText(i);
    }
    return entries;
}

QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

std::vector<std::string> ColumnTexts(const ui::CRenameListPane* pane, int column) {
    ProcessPostedEvents();
    std::vector<std::string> texts;
    const QAbstractItemModel* model = pane->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        texts.push_back(ui::ToStdString(model->index(row, column).data().toString()));
    }
    return texts;
}

RenameWindowFixture::RenameWindowFixture() {
    EnsureApplication();
}

RenameWindowFixture::~RenameWindowFixture() {
    frame.reset();
    ProcessPostedEvents();
}

ui::CRenameMstrView* RenameWindowFixture::OpenWindow() {
    frame = std::make_unique<app::CMainFrame>();
    frame->show();
    frame->RenameAction()->trigger();
    view = frame->RenameView();
    frame->activateWindow();
    if (view == nullptr || !QTest::qWaitForWindowActive(frame.get())) {
        return nullptr;
    }
    view->ChangeFolder(folder.Path());
    ProcessPostedEvents();
    return view;
}

void RenameWindowFixture::ClickRow(ui::CRenameListPane* pane, int row,
                                   Qt::KeyboardModifiers modifiers) {
    const QRect rect = pane->visualRect(pane->model()->index(row, 0));
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, modifiers, rect.center());
    ProcessPostedEvents();
}

}  // namespace tidemark::testing
