#pragma once
// The settings store: reads tmk.ini once when it is made, holds the values for the run, hands
// copies to the windows that ask and takes back what they changed, and writes the whole file
// once when it is destroyed. Nothing is written during the run.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "rename/rename_options.h"
#include "settings/folder_list.h"

namespace tidemark::settings {

// Shows a modal message with an OK button (the window layer supplies it; tests record).
using ShowMessageFunction =
    std::function<void(const std::string& text, const std::string& caption)>;

// Page indexes of the three rename pages, also the record indexes of GetOptions/SetOptions.
inline constexpr int kPageNames = 0;       // section NAME
inline constexpr int kPageExtensions = 1;  // section EXT
inline constexpr int kPageFolders = 2;     // section DIR

// Reading limits, in characters: longer values are cut.
inline constexpr std::size_t kOptionTextChars = 254;
inline constexpr std::size_t kHistoryReadChars = 259;
inline constexpr std::size_t kCommonReadChars = 1043;
// Widths of the stored history texts (terminator included): a longer text given by a dialog
// loses whole entries from its end until it holds at most width - 1 characters.
inline constexpr std::size_t kMoveOnLengthTextWidth = 260;
inline constexpr std::size_t kMergeTextWidth = 1047;

inline constexpr const char* kCautionText =
    "Unable to find tmk.ini. Any previous defaults might be lost. A new tmk.ini will be created.";
inline constexpr const char* kCautionCaption = "Caution";
// Shown (with kCautionCaption) when the settings file exists but cannot be read whole; the
// file's path follows the text.
inline constexpr const char* kUnreadableText =
    "The settings file could not be read; this run uses the defaults and will not save over "
    "it: ";

// Where the settings file is.
struct IniLocation {
    std::string path;             // "" when no file can be named at all (nothing is saved)
    bool executableFound = true;  // false: the Caution message is due and nothing is loaded
};

// The location rule: TMK_INI when set and not empty; else "tmk.ini" beside the executable when
// its folder is writable; else "$XDG_CONFIG_HOME/tidemark/tmk.ini" (default
// "$HOME/.config/tidemark/tmk.ini"), which is also where the settings go when the executable's
// path is unknown. folderWritable answers for the executable's folder.
IniLocation ChooseIniLocation(const std::string& tmkIni, const std::string& executablePath,
                              const std::string& configHome, const std::string& home,
                              const std::function<bool(const std::string&)>& folderWritable);
// The rule applied to this process's environment and executable.
IniLocation LocateIniFile();

class AppSettings {
  public:
    // Finds tmk.ini by LocateIniFile and loads it; when the executable's path is unknown,
    // shows the Caution message through showMessage and keeps the defaults. A file that cannot
    // be read is told through showMessage too (kUnreadableText).
    explicit AppSettings(const ShowMessageFunction& showMessage = {});
    // Uses the file at iniPath and loads it.
    explicit AppSettings(std::string iniPath);
    AppSettings(const IniLocation& location, const ShowMessageFunction& showMessage);
    // Saves (SaveAll).
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    const std::string& IniPath() const { return iniPath_; }

    // Reads the three option records and the five dialog histories from the file; missing
    // keys (or a missing file) give the defaults. A loaded record has its rule switches off
    // and CaseMode 0. A file that exists but cannot be read completely (or is no regular file)
    // also gives the defaults, and then is never written over during this run.
    void LoadAll();
    // Writes TMKAPP (Version "1.20", Mode "std"), NAME, EXT, DIR, MOVEONLEN, MERGE and, when
    // the rename window gave its lists, COMMON, in that order, keeping every other line of the
    // file. False when the file could not be written or must not be (see LoadAll); the old file
    // is then unchanged.
    bool SaveAll();
    // False when the file at IniPath could not be read and is left alone.
    bool CanSave() const { return canSave_; }

    // page is kPageNames, kPageExtensions or kPageFolders; other values do nothing and give
    // false.
    bool GetOptions(int page, rename::RenameOptions& options) const;
    bool SetOptions(int page, const rename::RenameOptions& options);

    void GetMoveOnLengthLists(FolderList& source, FolderList& destination) const;
    // Keeps the two texts in stored form (fitted to their width) and splits each into its list.
    void SetMoveOnLengthLists(std::string_view sourceText, std::string_view destinationText);
    void GetMergeLists(FolderList& source, FolderList& destination, FolderList& alternate) const;
    void SetMergeLists(std::string_view sourceText, std::string_view destinationText,
                       std::string_view alternateText);

    // The rename window's histories, read from the file at the moment of the call (at most
    // kCommonReadChars characters); lists given back during the run reach the file at the save.
    void ReadCommonSourceList(FolderList& list) const;
    void ReadCommonDestinationList(FolderList& list) const;
    // Keeps the rename window's lists; they are written to COMMON at the save.
    void SetCommonSourceList(const FolderList& list);
    void SetCommonDestinationList(const FolderList& list);

    static void SplitFolderList(std::string_view text, FolderList& list) {
        settings::SplitFolderList(text, list);
    }

  private:
    void ReadCommonList(const char* key, FolderList& list) const;

    std::array<rename::RenameOptions, 3> options_{};
    std::string iniPath_;
    bool canSave_ = true;
    // The five dialog histories, each as its stored text (written back at exit) and its list.
    std::string moveOnLengthSourceText_;
    std::string moveOnLengthDestinationText_;
    std::string mergeSourceText_;
    std::string mergeDestinationText_;
    std::string mergeAlternateText_;
    FolderList mergeSource_;
    FolderList mergeDestination_;
    FolderList mergeAlternate_;
    FolderList moveOnLengthSource_;
    FolderList moveOnLengthDestination_;
    std::optional<FolderList> commonSource_;
    std::optional<FolderList> commonDestination_;
};

}  // namespace tidemark::settings
