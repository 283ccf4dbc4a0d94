#include "help/help_window.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace tidemark::help {

namespace {

struct Page {
    const char* title;
    const char* file;
};

// The contents list, in reading order.
constexpr std::array<Page, 10> kPages = {{
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Tidemark at a glance"), "index.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Renaming by rules"), "rules.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Numbering files"), "numbering.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Moving and copying renamed files"),
     "output.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Custom order"), "custom-order.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Move On Length"), "move-on-length.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Intelligent Merge"), "merge.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Undoing a rename"), "undo.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "Settings and the log"), "settings.html"},
    {QT_TRANSLATE_NOOP("tidemark::help::HelpWindow", "The command line: tidemark-cli"), "cli.html"},
}};

QUrl PageUrl(const char* file, const char* fragment = nullptr) {
    QUrl url = TopicOfPage(QString::fromLatin1(file));
    if (fragment != nullptr) {
        url.setFragment(QString::fromLatin1(fragment));
    }
    return url;
}

}  // namespace

QUrl ContentsTopic() {
    return PageUrl("index.html");
}

QUrl TopicOfPage(const QString& file) {
    return QUrl(QStringLiteral("qrc:/help/") + file);
}

QUrl TopicOfTab(int tab) {
    switch (tab) {
        case 0:
            return PageUrl("rules.html", "files");
        case 1:
            return PageUrl("rules.html", "extensions");
        case 2:
            return PageUrl("rules.html", "folders");
        case 3:
            return PageUrl("numbering.html");
        default:
            return ContentsTopic();
    }
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Tidemark Help"));

    contents_ = new QListWidget(this);
    contents_->setObjectName(QStringLiteral("helpContents"));
    for (const Page& page : kPages) {
        auto* item = new QListWidgetItem(tr(page.title), contents_);
        item->setData(Qt::UserRole, PageUrl(page.file));
    }
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);

    auto* back = new QToolButton(this);
    back->setObjectName(QStringLiteral("helpBack"));
    back->setText(tr("< Back"));
    back->setEnabled(false);
    auto* forward = new QToolButton(this);
    forward->setObjectName(QStringLiteral("helpForward"));
    forward->setText(tr("Forward >"));
    forward->setEnabled(false);
    connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 520});

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(contents_, &QListWidget::currentRowChanged, this, &HelpWindow::OnContentsRowChanged);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::OnSourceChanged);
    resize(800, 560);
}

HelpWindow* HelpWindow::Open(QWidget* owner, const QUrl& topic) {
    auto* window = owner != nullptr
                       ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                       : nullptr;
    if (window == nullptr) {
        window = new HelpWindow(owner);
        if (owner == nullptr) {
            window->setAttribute(Qt::WA_DeleteOnClose);
        }
    }
    window->ShowTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::ShowTopic(const QUrl& topic) {
    browser_->setSource(topic);
}

void HelpWindow::OnContentsRowChanged(int row) {
    const QListWidgetItem* item = contents_->item(row);
    if (item != nullptr) {
        browser_->setSource(item->data(Qt::UserRole).toUrl());
    }
}

// Links, Back and Forward move the contents list along with the page.
void HelpWindow::OnSourceChanged(const QUrl& source) {
    const QUrl page = source.adjusted(QUrl::RemoveFragment);
    for (int row = 0; row < contents_->count(); ++row) {
        if (contents_->item(row)->data(Qt::UserRole).toUrl() == page) {
            const QSignalBlocker blocker(contents_);
            contents_->setCurrentRow(row);
            return;
        }
    }
}

}  // namespace tidemark::help
