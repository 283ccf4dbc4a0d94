#include "ui/dialog_hooks.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QShortcut>

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

QuestionFunction& QuestionSlot() {
    static QuestionFunction function;
    return function;
}

HelpFunction& HelpSlot() {
    static HelpFunction function;
    return function;
}

bool RealQuestion(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace

bool AskQuestion(QWidget* owner, const QString& text, const QString& caption) {
    return QuestionSlot() ? QuestionSlot()(owner, text, caption)
                          : RealQuestion(owner, text, caption);
}

QuestionFunction SetQuestionFunction(QuestionFunction function) {
    return std::exchange(QuestionSlot(), std::move(function));
}

void AddHelpKey(QWidget* dialog, const QString& page) {
    auto* key = new QShortcut(QKeySequence::HelpContents, dialog);
    QObject::connect(key, &QShortcut::activated, dialog, [dialog, page] {
        if (HelpSlot()) {
            HelpSlot()(dialog, page);
        }
    });
}

HelpFunction SetHelpFunction(HelpFunction function) {
    return std::exchange(HelpSlot(), std::move(function));
}

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
