#pragma once
// Name lists of one folder for the folder dialogs: the scan into folder and file names, the
// no-case sort, and the listing of a folder's plain files that a file list box shows.

#include <cstddef>
#include <string>
#include <vector>

namespace tidemark::settings {

// Empties both lists, then appends every entry of folder in listing order: folders ("." and
// ".." included) to folderNames, everything else (hidden and special files included) to
// fileNames. A folder that cannot be read leaves both lists empty; an empty folder text stands
// for the current folder. Always true.
bool ScanFolderNames(const std::string& folder, std::vector<std::string>& folderNames,
                     std::vector<std::string>& fileNames);

// Sorts names[first..last] (both included) ascending under the no-case comparison; equal names
// end next to each other. Indexes past the end are limited to it; first > last does nothing.
void SortNames(std::vector<std::string>& names, std::size_t first, std::size_t last);
void SortNames(std::vector<std::string>& names);

// The names of folder's plain files as a file list box shows them: no folders, no hidden
// (leading ".") or special entries, sorted with SortNames. Empty for an empty folder text and
// for a folder that cannot be read.
std::vector<std::string> ListPlainFiles(const std::string& folder);

}  // namespace tidemark::settings
