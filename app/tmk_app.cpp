#include "app/tmk_app.h"

#include "app/main_frame.h"
#include "platform/file_system.h"
#include "ui/dialog_hooks.h"
#include "ui/messages.h"
#include "ui/rename_mstr_view.h"

namespace tidemark::app {

CTMKApp::CTMKApp() = default;

CTMKApp::~CTMKApp() = default;

bool CTMKApp::InitInstance() {
    mainFrame_ = std::make_unique<CMainFrame>();
    mainFrame_->show();
    return true;
}

void CTMKApp::OpenPath(const std::string& path) {
    const std::string item = platform::StripTrailingSeparator(path);
    if (!platform::PathExists(item)) {
        ui::ShowMessageBox(mainFrame_.get(), tr("That is not a valid path."), tr("Error"));
        return;
    }
    mainFrame_->OnFileNew();
    const std::string folder = platform::IsDirectory(item) ? item : platform::ParentFolder(item);
    ui::SendUserMessage(mainFrame_->RenameView(), ui::UM_CHANGEFOLDER, 0, folder);
}

}  // namespace tidemark::app
