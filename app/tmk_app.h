#pragma once
// The application object: builds the main frame at start-up and shows it. No rename window is
// open at start.

#include <QObject>

#include <memory>

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

  private:
    std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace tidemark::app
