#pragma once
// Small helpers shared by the tab pages: reading the number boxes as the pages read them,
// sizing their captions and boxes, and asking the rename window to close.

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QObject;
class QWidget;

namespace tidemark::ui {

// Text of a number box read as an unsigned whole number: 0 when it is not one ("-3", "",
// "4x"); values beyond the 32-bit range stop at its top.
std::int32_t ReadUnsignedNumber(const QString& text);
// Read as a signed whole number: nullopt when it is not one.
std::optional<long> ReadWholeNumber(const QString& text);
// Read as a signed whole number, 0 when it is not one.
std::int32_t ReadSignedNumber(const QString& text);

// The pages live in a low band and start narrow, so their groups are laid out closely.
// A number box five digits wide that takes up to ten characters.
void MakeNumberBox(QLineEdit* edit);
// A text box that may get as narrow as a few letters.
void MakeNarrowTextBox(QLineEdit* edit);
// A text box at least wide enough to show sample whole, in whatever font it is given later.
void FitTextBox(QLineEdit* edit, const QString& sample);
// The grid of a group box, with close margins and rows.
QGridLayout* MakeGroupGrid(QGroupBox* box);
// A row of widgets starting indent pixels to the right; labels keep their width, the rest
// share what is left.
QHBoxLayout* MakeIndentedRow(int indent, std::initializer_list<QWidget*> widgets);
// A caption (check box, radio button, label) that never gets narrower than its text.
void KeepCaptionWhole(QWidget* caption);
// A label whose caption may break into two lines where the page is narrow, and never into more.
void LetCaptionTakeTwoLines(QLabel* caption);
// How far a check box's text stands right of the box's left edge: rows that belong to a check
// box start there.
int CheckBoxTextIndent(const QWidget* checkBox);

// Posts a close request to the window that holds the rename view (the sub-window frame).
void PostCloseRequest(QObject* view);

}  // namespace tidemark::ui
