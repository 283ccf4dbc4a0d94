#include "ui/messages.h"

#include <QCoreApplication>
#include <QPointer>

namespace tidemark::ui {

UserMessageEvent::UserMessageEvent(int message, std::intptr_t wParam, std::any lParam)
    : QEvent(EventType()), message_(message), wParam_(wParam), lParam_(std::move(lParam)) {}

QEvent::Type UserMessageEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

UserMessageEvent* AsUserMessage(QEvent* event) {
    if (event == nullptr || event->type() != UserMessageEvent::EventType()) {
        return nullptr;
    }
    return static_cast<UserMessageEvent*>(event);
}

std::intptr_t SendUserMessage(QObject* target, int message, std::intptr_t wParam, std::any lParam) {
    if (target == nullptr) {
        return 0;
    }
    UserMessageEvent event(message, wParam, std::move(lParam));
    if (!QCoreApplication::sendEvent(target, &event)) {
        return 0;
    }
    return event.Result();
}

void PostUserMessage(QObject* target, int message, std::intptr_t wParam, std::any lParam) {
    if (target == nullptr) {
        return;
    }
    QCoreApplication::postEvent(target, new UserMessageEvent(message, wParam, std::move(lParam)));
}

namespace {
QPointer<QObject>& MainFrameSlot() {
    static QPointer<QObject> frame;
    return frame;
}
}  // namespace

QObject* MainFrameObject() {
    return MainFrameSlot().data();
}

void SetMainFrameObject(QObject* frame) {
    MainFrameSlot() = frame;
}

QObject* RenameViewOf(const QObject* child) {
    for (QObject* p = child ? child->parent() : nullptr; p != nullptr; p = p->parent()) {
        if (p->inherits("tidemark::ui::CRenameMstrView")) {
            return p;
        }
    }
    return nullptr;
}

}  // namespace tidemark::ui
