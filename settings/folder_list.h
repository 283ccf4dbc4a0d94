#pragma once
// Folder histories: ordered lists of folder paths, most recent first. Their stored form (in
// tmk.ini and in the texts the dialogs hand to AppSettings) is every entry followed by ";":
// the folders /a and /b are stored as "/a;/b;".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::settings {

// Entry 0 is the most recent folder; a history box shows entry k at position k and starts
// with entry 0 selected.
using FolderList = std::vector<std::string>;

// A history box that only ever grows by AddToHistory holds at most this many entries.
inline constexpr std::size_t kHistoryBoxLimit = 4;

// Empties list, then cuts text at each ";" into entries: a final ";" gives no empty entry,
// ";;" inside the text and a leading ";" give an empty entry, a text without ";" one entry.
void SplitFolderList(std::string_view text, FolderList& list);
FolderList SplitFolderList(std::string_view text);

// The stored form: every entry followed by ";" (an empty list gives "").
std::string JoinFolderList(const FolderList& list);

// Puts folder at the top of a history box: an entry equal to it without regard to case is
// removed first, and when the box then holds five or more entries the fifth is dropped.
void AddToHistory(FolderList& history, const std::string& folder);
// The same without any limit on the number of entries (the Move On Length boxes).
void AddToUnlimitedHistory(FolderList& history, const std::string& folder);

// The folder a dialog starts with: entry 0, or "" for an empty history.
std::string FirstFolder(const FolderList& history);

// A stored text that must fit a fixed width of maxChars characters loses whole entries from
// its end (each with its ";") until it fits; a text without any ";" that is too long becomes
// empty. A text that fits is returned unchanged.
std::string FitStoredText(std::string_view text, std::size_t maxChars);

}  // namespace tidemark::settings
