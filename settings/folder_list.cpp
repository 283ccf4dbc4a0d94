#include "settings/folder_list.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemark::settings {

void SplitFolderList(std::string_view text, FolderList& list) {
    list.clear();
    while (!text.empty()) {
        const std::size_t semicolon = text.find(';');
        if (semicolon == std::string_view::npos) {
            list.emplace_back(text);
            break;
        }
        list.emplace_back(text.substr(0, semicolon));
        text.remove_prefix(semicolon + 1);
    }
}

FolderList SplitFolderList(std::string_view text) {
    FolderList list;
    SplitFolderList(text, list);
    return list;
}

std::string JoinFolderList(const FolderList& list) {
    std::string text;
    for (const std::string& entry : list) {
        text += entry;
        text += ';';
    }
    return text;
}

void AddToUnlimitedHistory(FolderList& history, const std::string& folder) {
    // The box's search finds the first equal entry only; the history never holds two anyway
    // unless the file was edited by hand.
    const auto equal = std::find_if(history.begin(), history.end(), [&](const std::string& e) {
        return platform::NoCaseEqual(e, folder);
    });
    if (equal != history.end()) {
        history.erase(equal);
    }
    history.insert(history.begin(), folder);
}

void AddToHistory(FolderList& history, const std::string& folder) {
    AddToUnlimitedHistory(history, folder);
    // Only the fifth entry goes, so a history loaded longer than that stays longer.
    if (history.size() > kHistoryBoxLimit) {
        history.erase(history.begin() + kHistoryBoxLimit);
    }
}

std::string FirstFolder(const FolderList& history) {
    return history.empty() ? std::string() : history.front();
}

std::string FitStoredText(std::string_view text, std::size_t maxChars) {
    while (platform::CharCount(text) > maxChars) {
        // The ";" that ends the entry before the last one (a final ";" belongs to the last).
        const std::size_t cut =
            text.size() < 2 ? std::string_view::npos : text.rfind(';', text.size() - 2);
        text = cut == std::string_view::npos ? std::string_view() : text.substr(0, cut + 1);
    }
    return std::string(text);
}

}  // namespace tidemark::settings
