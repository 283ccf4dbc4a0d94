#include "ui/dialog_hooks.h"

#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace tidemark::ui {

namespace {

void RealMessageBox(QWidget* owner, const QString& text, const QString& caption,
                    QMessageBox::Icon icon) {
    MakeMessageBox(owner, text, caption, icon)->exec();
}

std::optional<QString> RealBrowseFolder(QWidget* owner, const QString& title,
                                        const QString& start) {
    const QString picked =
        QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    if (picked.isEmpty()) {
        return std::nullopt;
    }
    return picked;
}

MessageBoxFunction& MessageBoxSlot() {
    static MessageBoxFunction function;
    return function;
}

BrowseFolderFunction& BrowseFolderSlot() {
    static BrowseFolderFunction function;
    return function;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* owner, const QString& text,
                                            const QString& caption, QMessageBox::Icon icon) {
    auto box = std::make_unique<QMessageBox>(icon, caption, QString(), QMessageBox::Ok, owner);
    box->setTextFormat(Qt::PlainText);
    // Plain text breaks lines at "\n"; a carriage return before it would show as a glyph.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box->setText(shown);
    return box;
}

void ShowMessageBox(QWidget* owner, const QString& text, const QString& caption,
                    QMessageBox::Icon icon) {
    if (MessageBoxSlot()) {
        MessageBoxSlot()(owner, text, caption, icon);
    } else {
        RealMessageBox(owner, text, caption, icon);
    }
}

std::optional<QString> BrowseFolderDialog(QWidget* owner, const QString& title,
                                          const QString& start) {
    if (BrowseFolderSlot()) {
        return BrowseFolderSlot()(owner, title, start);
    }
    return RealBrowseFolder(owner, title, start);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function) {
    return std::exchange(MessageBoxSlot(), std::move(function));
}

BrowseFolderFunction SetBrowseFolderFunction(BrowseFolderFunction function) {
    return std::exchange(BrowseFolderSlot(), std::move(function));
}

}  // namespace tidemark::ui
