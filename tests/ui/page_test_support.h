#pragma once
// A stand-in rename view that records a page's messages and answers those a page waits for.

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>

#include <algorithm>
#include <any>
#include <cstdint>

#include "app/main_frame.h"
#include "catalogue/file_catalogue.h"
#include "tests/ui/ui_test_support.h"
#include "ui/messages.h"
#include "ui/qt_text.h"
#include "ui/rename_list_pane.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::testing {

inline void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces an edit's text by typing, as a user who selected everything first.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
        // The first key typed replaces the selection.
        QTest::keyClicks(edit, text);
    }
}

struct PageMessage {
    int message;
    std::any lParam;
};

// Receives a page's messages in place of the rename view; answers the folder, the catalogue
// and the rename result it is given.
class MessageRecorder : public QObject {
  public:
    std::vector<PageMessage> messages;
    std::string folder;
    catalogue::FileCatalogue* catalogue = nullptr;
    std::intptr_t renameResult = 1;

    std::vector<int> Numbers() const {
        std::vector<int> numbers;
        for (const PageMessage& m : messages) {
            numbers.push_back(m.message);
        }
        return numbers;
    }
    int Count(int message) const {
        const std::vector<int> numbers = Numbers();
        return int(std::count(numbers.begin(), numbers.end(), message));
    }
    // The text carried by the last message of that number, or "" when there was none.
    std::string LastText(int message) const {
        for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
            if (it->message == message) {
                if (const auto* text = std::any_cast<std::string>(&it->lParam)) {
                    return *text;
                }
            }
        }
        return {};
    }

  protected:
    bool event(QEvent* event) override {
        ui::UserMessageEvent* m = ui::AsUserMessage(event);
        if (m == nullptr) {
            return QObject::event(event);
        }
        messages.push_back({m->Message(), m->LParam()});
        if (m->Message() == ui::UM_GETFOLDER) {
            *ui::MessageParam<std::string*>(*m, nullptr) = folder;
        } else if (m->Message() == ui::UM_GETCATALOGUE) {
            *ui::MessageParam<catalogue::FileCatalogue**>(*m, nullptr) = catalogue;
            m->SetResult(1);
        } else if (m->Message() == ui::UM_PERFORMRENAME) {
            m->SetResult(renameResult);
        }
        return true;
    }
};

// A page on its own in an active window, its messages going to a recorder whose parent stands
// for the window frame that "Close" asks to close.
template <class Page>
class PageFixture : public ::testing::Test {
  protected:
    // The widgets below are members, so the application must exist before the fixture.
    static void SetUpTestSuite() { EnsureApplication(); }

    void SetUp() override {
        frame.show();
        recorder.setParent(&frame);
        page.SetView(&recorder);
        page.ShowOptions();
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        ProcessPostedEvents();
        recorder.messages.clear();
    }

    QWidget frame;
    MessageRecorder recorder;
    Page page;
    DialogRecorder dialogs;
};

}  // namespace tidemark::testing
