#pragma once
// Message boxes and the browse-for-folder dialog go through these two replaceable functions so
// that tests can record what would be shown instead of blocking on a modal window.

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
std::optional<QString> BrowseFolderDialog(QWidget* owner, const QString& title,
                                          const QString& start);

// Install a replacement (an empty function restores the real dialog); the previous one is
// returned so that it can be put back.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
BrowseFolderFunction SetBrowseFolderFunction(BrowseFolderFunction function);

}  // namespace tidemark::ui
