#pragma once
// Folder histories as the dialogs keep them: most recent first, entries compared without regard
// to "A"-"Z" case. Storing them is the caller's business (the settings store joins and splits).

#include <string>
#include <vector>

namespace tidemark::folderops {

using FolderHistory = std::vector<std::string>;

// Puts folder at the top: the first entry equal to it without regard to case is removed first.
// The history is not limited (Move On Length).
void PutOnTop(FolderHistory& history, const std::string& folder);

// The folder boxes' rule (Intelligent Merge): PutOnTop, then, when the history holds 5 or more
// entries, the fifth is dropped. A history that only grows this way keeps at most 4 entries; a
// longer one read from the settings stays as long.
void AddToHistory(FolderHistory& history, const std::string& folder);

}  // namespace tidemark::folderops
