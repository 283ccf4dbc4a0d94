#include "app/tmk_app.h"

#include "app/main_frame.h"

namespace tidemark::app {

CTMKApp::CTMKApp() = default;

CTMKApp::~CTMKApp() = default;

bool CTMKApp::InitInstance() {
    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->show();
    return true;
}

}  // namespace tidemark::app
