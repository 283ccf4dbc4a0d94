#pragma once
// Small helpers shared by the tab pages: reading the number boxes as the pages read them,
// and asking the rename window to close.

#include <QString>

#include <cstdint>
#include <optional>

class QObject;

namespace tidemark::ui {

// Text of a number box read as an unsigned whole number: 0 when it is not one ("-3", "",
// "4x"); values beyond the 32-bit range stop at its top.
std::int32_t ReadUnsignedNumber(const QString& text);
// Read as a signed whole number: nullopt when it is not one.
std::optional<long> ReadWholeNumber(const QString& text);
// Read as a signed whole number, 0 when it is not one.
std::int32_t ReadSignedNumber(const QString& text);

// Posts a close request to the window that holds the rename view (the sub-window frame).
void PostCloseRequest(QObject* view);

}  // namespace tidemark::ui
