#include "folderops/folder_history.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemark::folderops {

void PutOnTop(FolderHistory& history, const std::string& folder) {
    const auto same = std::find_if(history.begin(), history.end(), [&](const std::string& entry) {
        return platform::NoCaseEqual(entry, folder);
    });
    if (same != history.end()) {
        history.erase(same);
    }
    history.insert(history.begin(), folder);
}

void AddToHistory(FolderHistory& history, const std::string& folder) {
    PutOnTop(history, folder);
    constexpr std::size_t kFifth = 4;
    if (history.size() > kFifth) {
        history.erase(history.begin() + kFifth);
    }
}

}  // namespace tidemark::folderops
