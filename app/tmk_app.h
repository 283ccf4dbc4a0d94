#pragma once
// The application object: builds the main frame at start-up and shows it. No rename window is
// open at start unless the command line names a path.

#include <QObject>

#include <memory>
#include <string>

namespace tidemark::app {

class CMainFrame;

class CTMKApp : public QObject {
    Q_OBJECT
  public:
    CTMKApp();
    ~CTMKApp() override;

    // Start-up: the main frame (with AppSettings and the log) is made and shown; false when it
    // could not be made.
    bool InitInstance();
    CMainFrame* MainFrame() const { return mainFrame_.get(); }
    // The path of the command line, absolute: a folder opens the rename window on it, a file
    // the folder that holds it, as a drop does. A path that does not exist is reported and no
    // rename window opens.
    void OpenPath(const std::string& path);

  private:
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace tidemark::app
