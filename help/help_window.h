#pragma once
// The help window: a contents list beside a browser over the help pages, which are HTML files
// of help/html compiled into the program.

#include <QUrl>
#include <QWidget>

class QListWidget;
class QTextBrowser;

namespace tidemark::help {

// The first page, and the page of each tab of the rename window (0 to 3; the first page for
// any other value).
QUrl ContentsTopic();
QUrl TopicOfTab(int tab);
// A page by its file name ("merge.html").
QUrl TopicOfPage(const QString& file);

class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows owner's help window (made on first use, a window of its own) on topic and brings
    // it to the front.
    static HelpWindow* Open(QWidget* owner, const QUrl& topic);

    void ShowTopic(const QUrl& topic);
    QTextBrowser* Browser() const { return browser_; }
    QListWidget* Contents() const { return contents_; }

  private:
    void OnContentsRowChanged(int row);
    void OnSourceChanged(const QUrl& source);

    QListWidget* contents_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace tidemark::help
