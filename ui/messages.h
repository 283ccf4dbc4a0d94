#pragma once
// The window-message protocol that ties the pages, the list panes, the rename view and the
// main frame together. One event type carries (message, wParam, lParam); a sent message runs
// its handler at once and gives back the handler's result, a posted one is queued and handled
// later in posting order. Payloads travel by value in lParam (std::any), so nothing is freed by
// hand.
//
// Payloads by message (all texts are UTF-8 std::string):
//   UM_SETSTATUSTEXT   0x401 posted to the frame  wParam pane (0)  lParam std::string       -> 1
//   UM_GETFOLDER       0x402 sent to the view     lParam std::string* filled with the folder
//   UM_CHANGEFOLDER    0x403 sent to the view     lParam std::string folder
//   UM_REFILLLISTS     0x404 posted to the view
//   UM_REFRESHPREVIEW  0x405 posted to the view
//   UM_SYNCSCROLL      0x406 posted to the view   wParam code | (pos << 16)  lParam QObject* pane
//   UM_SYNCSELECTION   0x407 posted to the view   wParam pane id (1, 2)
//   UM_PERFORMRENAME   0x408 sent/posted to view  -> the rename's result code
//   UM_GETCATALOGUE    0x409 sent to the view     lParam catalogue::FileCatalogue** (filled)
//   UM_SETCUSTOMORDER  0x40a sent to the view     lParam catalogue::Order  -> 1 or -11
//   UM_GETSETTINGS     0x40b sent to the frame    -> the AppSettings address (see GetAppSettings)
//   UM_ADDSOURCEFOLDER 0x40c posted to the view   lParam std::string folder
//   UM_ADDDESTFOLDER   0x40d posted to the view   lParam std::string folder
//   UM_SETDESTFOLDER   0x40e sent to the view     lParam std::string folder
//   UM_LOGTEXT         0x415 sent to the frame    lParam std::string line  -> LogMessage result

#include <QEvent>
#include <QObject>

#include <any>
#include <cstdint>

namespace tidemark::ui {

inline constexpr int UM_SETSTATUSTEXT = 0x401;
inline constexpr int UM_GETFOLDER = 0x402;
inline constexpr int UM_CHANGEFOLDER = 0x403;
inline constexpr int UM_REFILLLISTS = 0x404;
inline constexpr int UM_REFRESHPREVIEW = 0x405;
inline constexpr int UM_SYNCSCROLL = 0x406;
inline constexpr int UM_SYNCSELECTION = 0x407;
inline constexpr int UM_PERFORMRENAME = 0x408;
inline constexpr int UM_GETCATALOGUE = 0x409;
inline constexpr int UM_SETCUSTOMORDER = 0x40a;
inline constexpr int UM_GETSETTINGS = 0x40b;
inline constexpr int UM_ADDSOURCEFOLDER = 0x40c;
inline constexpr int UM_ADDDESTFOLDER = 0x40d;
inline constexpr int UM_SETDESTFOLDER = 0x40e;
inline constexpr int UM_LOGTEXT = 0x415;

// Pane numbers carried by UM_SYNCSELECTION.
inline constexpr int kSourcePaneId = 1;
inline constexpr int kResultPaneId = 2;

class UserMessageEvent : public QEvent {
  public:
    UserMessageEvent(int message, std::intptr_t wParam, std::any lParam);

    // The QEvent type shared by every user message.
    static QEvent::Type EventType();

    int Message() const { return message_; }
    std::intptr_t WParam() const { return wParam_; }
    const std::any& LParam() const { return lParam_; }

    // The handler's answer to a sent message.
    std::intptr_t Result() const { return result_; }
    void SetResult(std::intptr_t result) { result_ = result; }

  private:
    int message_;
    std::intptr_t wParam_;
    std::any lParam_;
    std::intptr_t result_ = 0;
};

// The event as a user message, or nullptr for any other event.
UserMessageEvent* AsUserMessage(QEvent* event);

// Runs the target's handler now and returns its result (0 when target is null or the target
// does not handle the message).
std::intptr_t SendUserMessage(QObject* target, int message, std::intptr_t wParam = 0,
                              std::any lParam = {});
// Queues the message; it is handled after the current event, in posting order.
void PostUserMessage(QObject* target, int message, std::intptr_t wParam = 0, std::any lParam = {});

// The lParam as T, or fallback when it holds something else.
template <class T>
T MessageParam(const UserMessageEvent& event, T fallback = {}) {
    if (const T* value = std::any_cast<T>(&event.LParam())) {
        return *value;
    }
    return fallback;
}

// The application's main frame, the receiver of UM_SETSTATUSTEXT, UM_GETSETTINGS and
// UM_LOGTEXT. The frame registers itself when it is created and unregisters when destroyed.
QObject* MainFrameObject();
void SetMainFrameObject(QObject* frame);

// The rename view above a page or a pane (its nearest ancestor of class CRenameMstrView), or
// nullptr.
QObject* RenameViewOf(const QObject* child);

}  // namespace tidemark::ui
