#include "ui/tab_page.h"

#include "ui/messages.h"

namespace tidemark::ui {

QObject* CTabPage::View() const {
    return view_ != nullptr ? view_ : RenameViewOf(this);
}

}  // namespace tidemark::ui
