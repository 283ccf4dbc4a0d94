#pragma once
// Message boxes, yes/no questions and the browse-for-folder dialog go through these replaceable
// functions so that tests can record what would be shown instead of blocking on a modal window.

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace tidemark::ui {

// A modal message box with one OK button, owned by owner (may be null).
using MessageBoxFunction = std::function<void(QWidget* owner, const QString& text,
                                              const QString& caption, QMessageBox::Icon icon)>;
// A folder picker titled title, starting at start, folders only; nullopt when cancelled.
using BrowseFolderFunction = std::function<std::optional<QString>(
    QWidget* owner, const QString& title, const QString& start)>;

// The text is shown as plain text, whatever it holds (a file may be named "<b>x"), with its
// line breaks.
void ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                    QMessageBox::Icon icon = QMessageBox::NoIcon);
// The box that ShowMessageBox shows when no replacement is installed.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text,
                                            const QString& caption, QMessageBox::Icon icon);
// A modal question with Yes and No buttons (No is the default); true for Yes.
using QuestionFunction =
    std::function<bool(QWidget* owner, const QString& text, const QString& caption)>;

bool AskQuestion(QWidget* owner, const QString& text, const QString& caption);
std::optional<QString> BrowseFolderDialog(QWidget* owner, const QString& title,
                                          const QString& start);

// Opens a help page (a file name of the program's help, "merge.html") for owner. The ui library
// knows no help window: the program installs the function, and until then F1 does nothing.
using HelpFunction = std::function<void(QWidget* owner, const QString& page)>;
// F1 anywhere in dialog opens page; a modal dialog blocks the main window's own F1.
void AddHelpKey(QWidget* dialog, const QString& page);

// Install a replacement (an empty function restores the real dialog); the previous one is
// returned so that it can be put back.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
BrowseFolderFunction SetBrowseFolderFunction(BrowseFolderFunction function);
QuestionFunction SetQuestionFunction(QuestionFunction function);
HelpFunction SetHelpFunction(HelpFunction function);

}  // namespace tidemark::ui
