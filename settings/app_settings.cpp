#include "settings/app_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <utility>

#include "platform/file_system.h"
#include "settings/ini_file.h"

namespace fs = std::filesystem;

namespace tidemark::settings {
namespace {

constexpr const char* kIniName = "tmk.ini";

// Sections and keys, each spelled once.
constexpr const char* kSectionApp = "TMKAPP";
constexpr const char* kKeyVersion = "Version";
constexpr const char* kKeyMode = "Mode";
constexpr const char* kVersionWritten = "1.20";
constexpr const char* kModeWritten = "std";

constexpr std::array<const char*, 3> kOptionSections = {"NAME", "EXT", "DIR"};
constexpr const char* kKeyChkBox = "ChkBox";
constexpr const char* kKeyInsPos = "InsPos";
constexpr const char* kKeyDelPos = "DelPos";
constexpr const char* kKeyDelNum = "DelNum";
constexpr const char* kKeyLCrop = "LCrop";
constexpr const char* kKeyRCrop = "RCrop";
constexpr const char* kKeyRepOrig = "RepOrig";
constexpr const char* kKeyRepNew = "RepNew";
constexpr const char* kKeyChgName = "ChgName";
constexpr const char* kKeyInsert = "Insert";
constexpr const char* kKeyPrepend = "Prepend";
constexpr const char* kKeyAppend = "Append";

constexpr const char* kSectionMoveOnLength = "MOVEONLEN";
constexpr const char* kSectionMerge = "MERGE";
constexpr const char* kSectionCommon = "COMMON";
constexpr const char* kKeySrcDir = "SrcDir";
constexpr const char* kKeyDestDir = "DestDir";
constexpr const char* kKeyAltDir = "AltDir";

// The integer fields of a record in the order of the file.
using IntField = std::int32_t rename::RenameOptions::*;
constexpr std::array<std::pair<const char*, IntField>, 5> kIntKeys = {{
    {kKeyInsPos, &rename::RenameOptions::InsPos},
    {kKeyDelPos, &rename::RenameOptions::DelPos},
    {kKeyDelNum, &rename::RenameOptions::DelNum},
    {kKeyLCrop, &rename::RenameOptions::LCrop},
    {kKeyRCrop, &rename::RenameOptions::RCrop},
}};
using TextField = std::string rename::RenameOptions::*;
constexpr std::array<std::pair<const char*, TextField>, 6> kTextKeys = {{
    {kKeyRepOrig, &rename::RenameOptions::RepOrig},
    {kKeyRepNew, &rename::RenameOptions::RepNew},
    {kKeyChgName, &rename::RenameOptions::ChgName},
    {kKeyInsert, &rename::RenameOptions::Insert},
    {kKeyPrepend, &rename::RenameOptions::Prepend},
    {kKeyAppend, &rename::RenameOptions::Append},
}};

bool IsTrue(const std::string& chkBox, std::size_t i) {
    return i < chkBox.size() && (chkBox[i] == 'T' || chkBox[i] == 't');
}

rename::RenameOptions ReadOptions(const IniFile& file, const char* section) {
    // A value-initialised record: rule switches off, CaseMode "No changes".
    rename::RenameOptions options;
    const std::string chkBox = file.GetString(section, kKeyChkBox, "FF", kOptionTextChars);
    options.SelOnly = IsTrue(chkBox, 0);
    options.MatchCase = IsTrue(chkBox, 1);
    for (const auto& [key, field] : kIntKeys) {
        options.*field = file.GetInt(section, key, 0);
    }
    for (const auto& [key, field] : kTextKeys) {
        options.*field = file.GetString(section, key, "", kOptionTextChars);
    }
    options.CaseMode = rename::kCaseNone;
    return options;
}

void WriteOptions(IniFile& file, const char* section, const rename::RenameOptions& options) {
    const std::string chkBox = {options.SelOnly ? 'T' : 'F', options.MatchCase ? 'T' : 'F'};
    file.SetString(section, kKeyChkBox, chkBox);
    for (const auto& [key, field] : kIntKeys) {
        file.SetString(section, key, std::to_string(options.*field));
    }
    for (const auto& [key, field] : kTextKeys) {
        file.SetString(section, key, options.*field);
    }
}

// Whether a file can be made in folder: tried, since permission bits alone do not tell
// (read-only mounts, access lists).
bool FolderWritable(const std::string& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string probe =
            (fs::path(folder) / (".tmk-probe-" + std::to_string(random()))).string();
        errno = 0;
        if (std::FILE* file = std::fopen(probe.c_str(), "wbx")) {
            std::fclose(file);
            std::remove(probe.c_str());
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

IniLocation ChooseIniLocation(const std::string& tmkIni, const std::string& executablePath,
                              const std::string& configHome, const std::string& home,
                              const std::function<bool(const std::string&)>& folderWritable) {
    if (!tmkIni.empty()) {
        return {tmkIni, true};
    }
    // A relative XDG_CONFIG_HOME is to be ignored, as the base-directory rules say.
    std::string configPath;
    if (!configHome.empty() && configHome.front() == '/') {
        configPath = (fs::path(configHome) / "tidemark" / kIniName).string();
    } else if (!home.empty()) {
        configPath = (fs::path(home) / ".config" / "tidemark" / kIniName).string();
    }
    if (executablePath.empty()) {
        return {configPath, false};
    }
    const std::string folder = fs::path(executablePath).parent_path().string();
    if (!folder.empty() && folderWritable(folder)) {
        return {(fs::path(folder) / kIniName).string(), true};
    }
    return {configPath, true};
}

IniLocation LocateIniFile() {
    return ChooseIniLocation(EnvironmentValue("TMK_INI"), platform::ExecutablePath(),
                             EnvironmentValue("XDG_CONFIG_HOME"), EnvironmentValue("HOME"),
                             FolderWritable);
}

AppSettings::AppSettings(const ShowMessageFunction& showMessage)
    : AppSettings(LocateIniFile(), showMessage) {}

AppSettings::AppSettings(std::string iniPath) : iniPath_(std::move(iniPath)) {
    LoadAll();
}

AppSettings::AppSettings(const IniLocation& location, const ShowMessageFunction& showMessage)
    : iniPath_(location.path) {
    if (!location.executableFound) {
        if (showMessage) {
            showMessage(kCautionText, kCautionCaption);
        }
        return;
    }
    LoadAll();
    if (!canSave_ && showMessage) {
        showMessage(kUnreadableText + iniPath_, kCautionCaption);
    }
}

AppSettings::~AppSettings() {
    // Nothing may leave a destructor; a save that runs out of memory simply does not happen.
    try {
        SaveAll();
    } catch (const std::exception&) {
    }
}

void AppSettings::LoadAll() {
    IniFile::State state = IniFile::State::kMissing;
    const IniFile file = IniFile::Load(iniPath_, state);
    canSave_ = state != IniFile::State::kUnreadable;
    // TMKAPP's Version and Mode are read by nobody; they are only rewritten at the save.
    for (std::size_t page = 0; page < options_.size(); ++page) {
        options_[page] = ReadOptions(file, kOptionSections[page]);
    }
    const auto history = [&](const char* section, const char* key, std::string& text,
                             FolderList& list) {
        text = file.GetString(section, key, "", kHistoryReadChars);
        settings::SplitFolderList(text, list);
    };
    history(kSectionMoveOnLength, kKeySrcDir, moveOnLengthSourceText_, moveOnLengthSource_);
    history(kSectionMoveOnLength, kKeyDestDir, moveOnLengthDestinationText_,
            moveOnLengthDestination_);
    history(kSectionMerge, kKeySrcDir, mergeSourceText_, mergeSource_);
    history(kSectionMerge, kKeyDestDir, mergeDestinationText_, mergeDestination_);
    history(kSectionMerge, kKeyAltDir, mergeAlternateText_, mergeAlternate_);
}

bool AppSettings::SaveAll() {
    if (iniPath_.empty() || !canSave_) {
        return false;
    }
    // Read again, so that lines written by others meanwhile stay; a file that has become
    // unreadable since is left alone too.
    IniFile::State state = IniFile::State::kMissing;
    IniFile file = IniFile::Load(iniPath_, state);
    if (state == IniFile::State::kUnreadable) {
        return false;
    }
    file.SetString(kSectionApp, kKeyVersion, kVersionWritten);
    file.SetString(kSectionApp, kKeyMode, kModeWritten);
    for (std::size_t page = 0; page < options_.size(); ++page) {
        WriteOptions(file, kOptionSections[page], options_[page]);
    }
    file.SetString(kSectionMoveOnLength, kKeySrcDir, moveOnLengthSourceText_);
    file.SetString(kSectionMoveOnLength, kKeyDestDir, moveOnLengthDestinationText_);
    file.SetString(kSectionMerge, kKeySrcDir, mergeSourceText_);
    file.SetString(kSectionMerge, kKeyDestDir, mergeDestinationText_);
    file.SetString(kSectionMerge, kKeyAltDir, mergeAlternateText_);
    // Fitted to the reading limit, so that the next run reads whole folders back.
    if (commonSource_) {
        file.SetString(kSectionCommon, kKeySrcDir,
                       FitStoredText(JoinFolderList(*commonSource_), kCommonReadChars));
    }
    if (commonDestination_) {
        file.SetString(kSectionCommon, kKeyDestDir,
                       FitStoredText(JoinFolderList(*commonDestination_), kCommonReadChars));
    }
    return file.Save(iniPath_);
}

bool AppSettings::GetOptions(int page, rename::RenameOptions& options) const {
    if (page < 0 || page >= static_cast<int>(options_.size())) {
        return false;
    }
    options = options_[static_cast<std::size_t>(page)];
    return true;
}

bool AppSettings::SetOptions(int page, const rename::RenameOptions& options) {
    if (page < 0 || page >= static_cast<int>(options_.size())) {
        return false;
    }
    options_[static_cast<std::size_t>(page)] = options;
    return true;
}

void AppSettings::GetMoveOnLengthLists(FolderList& source, FolderList& destination) const {
    source = moveOnLengthSource_;
    destination = moveOnLengthDestination_;
}

void AppSettings::SetMoveOnLengthLists(std::string_view sourceText,
                                       std::string_view destinationText) {
    moveOnLengthSourceText_ = FitStoredText(sourceText, kMoveOnLengthTextWidth - 1);
    moveOnLengthDestinationText_ = FitStoredText(destinationText, kMoveOnLengthTextWidth - 1);
    settings::SplitFolderList(moveOnLengthSourceText_, moveOnLengthSource_);
    settings::SplitFolderList(moveOnLengthDestinationText_, moveOnLengthDestination_);
}

void AppSettings::GetMergeLists(FolderList& source, FolderList& destination,
                                FolderList& alternate) const {
    source = mergeSource_;
    destination = mergeDestination_;
    alternate = mergeAlternate_;
}

void AppSettings::SetMergeLists(std::string_view sourceText, std::string_view destinationText,
                                std::string_view alternateText) {
    mergeSourceText_ = FitStoredText(sourceText, kMergeTextWidth - 1);
    mergeDestinationText_ = FitStoredText(destinationText, kMergeTextWidth - 1);
    mergeAlternateText_ = FitStoredText(alternateText, kMergeTextWidth - 1);
    settings::SplitFolderList(mergeSourceText_, mergeSource_);
    settings::SplitFolderList(mergeDestinationText_, mergeDestination_);
    settings::SplitFolderList(mergeAlternateText_, mergeAlternate_);
}

void AppSettings::ReadCommonList(const char* key, FolderList& list) const {
    settings::SplitFolderList(
        ReadProfileString(kSectionCommon, key, "", kCommonReadChars, iniPath_), list);
}

void AppSettings::ReadCommonSourceList(FolderList& list) const {
    ReadCommonList(kKeySrcDir, list);
}

void AppSettings::ReadCommonDestinationList(FolderList& list) const {
    ReadCommonList(kKeyDestDir, list);
}

void AppSettings::SetCommonSourceList(const FolderList& list) {
    commonSource_ = list;
}

void AppSettings::SetCommonDestinationList(const FolderList& list) {
    commonDestination_ = list;
}

}  // namespace tidemark::settings
