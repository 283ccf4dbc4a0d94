#pragma once
// Control identifiers of the dialog templates, kept so that a reader can map a widget back to
// its template control. Widgets also carry these as their objectName (see the comments).

namespace tidemark::ui {

inline constexpr int kIdFolderCombo = 1004;        // "folderCombo"
inline constexpr int kIdCustomOrderButton = 1051;  // "customOrderButton"
inline constexpr int kIdDestCombo = 1069;          // "destCombo"
inline constexpr int kIdTabControl = 1125;         // "tabControl"
inline constexpr int kCmdRefresh = 1122;           // F5

}  // namespace tidemark::ui
