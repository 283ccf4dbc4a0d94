#include "ui/page_support.h"

#include <QMetaObject>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace tidemark::ui {

namespace {

constexpr long long kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr long long kInt32Min = std::numeric_limits<std::int32_t>::min();

}  // namespace

std::int32_t ReadUnsignedNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || !trimmed.front().isDigit()) {
        return 0;
    }
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok);
    if (!ok) {
        // Only digits but too long for 64 bits: still a number, just a large one.
        return std::all_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isDigit(); })
                   ? static_cast<std::int32_t>(kInt32Max)
                   : 0;
    }
    return static_cast<std::int32_t>(std::min<qulonglong>(value, kInt32Max));
}

std::optional<long> ReadWholeNumber(const QString& text) {
    bool ok = false;
    const long long value = text.trimmed().toLongLong(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<long>(std::clamp(value, kInt32Min, kInt32Max));
}

std::int32_t ReadSignedNumber(const QString& text) {
    return static_cast<std::int32_t>(ReadWholeNumber(text).value_or(0));
}

void PostCloseRequest(QObject* view) {
    auto* frame = view != nullptr ? qobject_cast<QWidget*>(view->parent()) : nullptr;
    if (frame != nullptr) {
        QMetaObject::invokeMethod(frame, &QWidget::close, Qt::QueuedConnection);
    }
}

}  // namespace tidemark::ui
