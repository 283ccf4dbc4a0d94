#pragma once
// The rename window's view: the four tab pages in a 280-pixel band over the two list panes.
// It owns the catalogue of the folder being worked on, keeps the current and destination
// folders and their histories, answers the pages' and panes' messages, and runs the rename.

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "rename/preview.h"
#include "rename/rename_host.h"

class QProgressBar;
class QTabWidget;

namespace tidemark::settings {
class AppSettings;
}

namespace tidemark::ui {

class CTabPage;
class CollisionMarker;
struct CollisionMarks;
class DetailReader;
struct DetailChunk;
class CRenameSplitFrm;
class CSrcListPane;
class CResListPane;
class TypeIcons;
class UserMessageEvent;

// Height of the band that holds the tab control and the current page.
inline constexpr int kTabBandHeight = 280;
inline constexpr int kPageCount = 4;

class CRenameMstrView : public QWidget, public rename::RenameHost {
    Q_OBJECT
  public:
    explicit CRenameMstrView(QWidget* parent = nullptr);
    // Saves the settings into AppSettings (when the frame gave them).
    ~CRenameMstrView() override;

    // Set-up after creation: settings, panes, catalogue, then the first folder read.
    void OnInitialUpdate();

    // Makes a folder current, re-reads it and refills both lists; 1, or -11.
    int ChangeFolder(const std::string& folder) override;
    // The rename by the current tab's page; the execution's result code.
    int OnPerformFileRename();
    // F5 (command 1122): re-reads the catalogue's folder.
    void Refresh();
    // The window became the active one: the current page is shown again as after a tab change
    // (folder boxes refilled, focus, title, preview).
    void OnActivateView();

    // RenameHost.
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowInformation(const std::string& text, const std::string& caption) override;
    void Progress(std::size_t done, std::size_t total) override;
    void Log(const std::string& line) override;
    void RefreshPreview() override;
    void ResetPage() override;
    void AddSourceFolder(const std::string& folder) override;
    void AddDestFolder(const std::string& folder) override;

    // The source list's rows and the result list's preview, from the catalogue.
    void FillLists();
    // Recomputes the preview names of the rows shown (no rows rebuilt).
    void RefreshResultNames();

    catalogue::FileCatalogue* Catalogue() const { return catalogue_.get(); }
    QTabWidget* TabControl() const { return tabControl_; }
    CTabPage* Page(int index) const;
    CTabPage* CurrentPage() const { return Page(currentTab_); }
    int CurrentTab() const { return currentTab_; }
    CRenameSplitFrm* SplitFrame() const { return splitFrame_; }
    CSrcListPane* SourcePane() const { return sourcePane_; }
    CResListPane* ResultPane() const { return resultPane_; }
    const std::string& CurrentFolder() const { return currentFolder_; }
    const std::string& DestFolder() const { return destFolder_; }
    const std::vector<std::string>& SourceHistory() const { return sourceHistory_; }
    const std::vector<std::string>& DestHistory() const { return destHistory_; }
    // The document title: the current tab's title.
    QString DocumentTitle() const { return windowTitle(); }

    // A batch running longer than this shows the busy cursor and its progress.
    void SetBusyDelay(int milliseconds) { busyDelayMs_ = milliseconds; }
    // Up to this many rows the preview's marks are found at once; above, in the background.
    void SetMarkAtOnceRows(std::size_t rows) { markAtOnceRows_ = rows; }
    CollisionMarker* Marker() const { return marker_; }
    DetailReader* Details() const { return detailReader_; }

    // The tab's title, which becomes the document title.
    static QString TabTitle(int index);

  protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildTabs();
    void SizeColumnsOnce();
    void LoadSettings();
    void SaveSettings();
    void OnTabChanged(int index);
    void SetDocumentTitle(const QString& title);
    void HandleUserMessage(UserMessageEvent& message);
    void SyncScroll(UserMessageEvent& message);
    void SyncSelection();
    // The preview names and collision marks of the result list: a refill or a refresh.
    void ShowPreview(bool refill);
    void ShowMarks(const CollisionMarks& marks);
    // Reads the details of the records still without them in the background.
    void StartDetailPass();
    void ApplyDetails(const DetailChunk& chunk);
    void EndBusy();
    void RestoreCursor();

    std::unique_ptr<catalogue::FileCatalogue> catalogue_;
    // The records' names as of the last fill, read by the preview and its background marks.
    std::shared_ptr<const rename::NameSnapshot> names_;
    rename::PreviewNames preview_;
    CollisionMarker* marker_ = nullptr;
    DetailReader* detailReader_ = nullptr;
    std::uint64_t detailGeneration_ = 0;
    std::uint64_t previewGeneration_ = 0;
    // About a millisecond of marking: small folders show their marks with the names.
    std::size_t markAtOnceRows_ = 4000;
    // The status bar shows the count of colliding preview names.
    bool collisionStatusShown_ = false;
    settings::AppSettings* settings_ = nullptr;
    std::shared_ptr<TypeIcons> icons_;
    int currentTab_ = -1;
    bool columnsSized_ = false;
    QTabWidget* tabControl_ = nullptr;
    std::array<CTabPage*, kPageCount> pages_{};
    CRenameSplitFrm* splitFrame_ = nullptr;
    CSrcListPane* sourcePane_ = nullptr;
    CResListPane* resultPane_ = nullptr;
    std::vector<std::string> sourceHistory_;
    std::vector<std::string> destHistory_;
    std::string currentFolder_;
    std::string destFolder_;
    int busyDelayMs_ = 500;
    QElapsedTimer batchClock_;
    QElapsedTimer repaintClock_;
    bool busy_ = false;
    bool cursorSet_ = false;
    QPointer<QProgressBar> progressBar_;
};

}  // namespace tidemark::ui
