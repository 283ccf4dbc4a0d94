#include "settings/app_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini_file.h"
#include "tests/support/temp_folder.h"

namespace tidemark::settings {
namespace {

using rename::RenameOptions;
using tidemark::testing::TempFolder;

std::string OptionSection(const char* name, const char* chkBox) {
    return std::string("[") + name + "]\nChkBox=" + chkBox +
           "\nInsPos=0\nDelPos=0\nDelNum=0\nLCrop=0\nRCrop=0\nRepOrig=\nRepNew=\nChgName=\n"
           "Insert=\nPrepend=\nAppend=\n";
}

const std::string kDefaultFile = "[TMKAPP]\nVersion=1.20\nMode=std\n" +
                                 OptionSection("NAME", "FF") + OptionSection("EXT", "FF") +
                                 OptionSection("DIR", "FF") +
                                 "[MOVEONLEN]\nSrcDir=\nDestDir=\n"
                                 "[MERGE]\nSrcDir=\nDestDir=\nAltDir=\n";

struct Histories {
    FolderList moveSource, moveDestination, mergeSource, mergeDestination, mergeAlternate;
};

Histories HistoriesOf(const AppSettings& settings) {
    Histories h;
    settings.GetMoveOnLengthLists(h.moveSource, h.moveDestination);
    settings.GetMergeLists(h.mergeSource, h.mergeDestination, h.mergeAlternate);
    return h;
}

TEST(AppSettingsTest, MissingFileGivesDefaultsAndTheSaveCreatesEverySectionButCommon) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    {
        AppSettings settings(path);
        for (int page = 0; page < 3; ++page) {
            RenameOptions options;
            options.DoAppend = true;
            options.Append = "left over";
            ASSERT_TRUE(settings.GetOptions(page, options));
            EXPECT_EQ(options, RenameOptions{}) << page;
        }
        const Histories h = HistoriesOf(settings);
        FolderList common{"stale"};
        settings.ReadCommonSourceList(common);
        EXPECT_TRUE(common.empty() && h.moveSource.empty() && h.moveDestination.empty() &&
                    h.mergeSource.empty() && h.mergeDestination.empty() &&
                    h.mergeAlternate.empty());
        EXPECT_FALSE(temp.Exists("tmk.ini"));  // nothing is written during the run
    }
    EXPECT_EQ(temp.Read("tmk.ini"), kDefaultFile);
}

// Switches and case are never stored; texts and numbers round-trip at their extremes.
TEST(AppSettingsTest, OptionRecordsRoundTripWithoutSwitchesAndCase) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    std::vector<RenameOptions> given(3);
    for (int page = 0; page < 3; ++page) {
        RenameOptions& o = given[static_cast<std::size_t>(page)];
        o.SelOnly = page != 1;
        o.MatchCase = page != 0;
        o.DoReplace = o.DoChgName = o.DoInsert = o.DoPrepend = true;
        o.DoAppend = o.DoDelete = o.DoLCrop = o.DoRCrop = true;
        o.CaseMode = rename::kCaseUpper;
        o.InsPos = page + 1;
        o.DelPos = -2 - page;
        o.DelNum = 30 + page;
        o.LCrop = 2147483647;
        o.RCrop = -2147483647 - 1;
        o.RepOrig = "old " + std::to_string(page);
        o.RepNew = "new;%s 50%";
        o.ChgName = "Holiday [" + std::to_string(page) + "]";
        o.Insert = " - ";  // blanks at both ends survive
        o.Prepend = "\"quoted\"";
        o.Append = "\xC3\xA9t\xC3\xA9";
    }
    {
        AppSettings settings(path);
        EXPECT_FALSE(settings.SetOptions(3, given[0]) || settings.SetOptions(-1, given[0]));
        for (int page = 0; page < 3; ++page) {
            ASSERT_TRUE(settings.SetOptions(page, given[static_cast<std::size_t>(page)]));
        }
    }
    EXPECT_NE(temp.Read("tmk.ini").find("[NAME]\nChkBox=TF\n"), std::string::npos);
    EXPECT_NE(temp.Read("tmk.ini").find("[EXT]\nChkBox=FT\nInsPos=2\nDelPos=-3\nDelNum=31\n"
                                        "LCrop=2147483647\nRCrop=-2147483648\nRepOrig=old 1\n"
                                        "RepNew=new;%s 50%\nChgName=Holiday [1]\n"),
              std::string::npos);
    EXPECT_NE(temp.Read("tmk.ini").find("[DIR]\nChkBox=TT\n"), std::string::npos);

    AppSettings reloaded(path);
    for (int page = 0; page < 3; ++page) {
        RenameOptions expected = given[static_cast<std::size_t>(page)];
        expected.ClearRuleSwitches();
        expected.CaseMode = rename::kCaseNone;
        RenameOptions read;
        ASSERT_TRUE(reloaded.GetOptions(page, read));
        EXPECT_EQ(read, expected) << page;
    }
    RenameOptions untouched;
    untouched.InsPos = 77;
    EXPECT_FALSE(reloaded.GetOptions(3, untouched));
    EXPECT_EQ(untouched.InsPos, 77);
}

TEST(AppSettingsTest, ChkBoxReadings) {
    const std::pair<std::optional<std::string>, std::pair<bool, bool>> cases[] = {
        {"tF", {true, false}},    {"T", {true, false}},           {"", {false, false}},
        {"ft", {false, true}},    {"TT", {true, true}},           {"yes", {false, false}},
        {"\"tt\"", {true, true}}, {std::nullopt, {false, false}},
    };
    for (const auto& [value, flags] : cases) {
        TempFolder temp;
        const std::string path =
            temp.File("tmk.ini", value ? "[EXT]\nChkBox=" + *value + "\n" : "[EXT]\n");
        AppSettings settings(path);
        RenameOptions options;
        settings.GetOptions(kPageExtensions, options);
        EXPECT_EQ(options.SelOnly, flags.first) << value.value_or("<missing>");
        EXPECT_EQ(options.MatchCase, flags.second) << value.value_or("<missing>");
    }
}

TEST(AppSettingsTest, HistoriesGivenByTheDialogsRoundTrip) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    {
        AppSettings settings(path);
        settings.SetMoveOnLengthLists("/src/a;/src/b;", "/dest;");
        settings.SetMergeLists("/m/one;/m/Two;/m/three;", "", "/alt");
        EXPECT_EQ(HistoriesOf(settings).mergeAlternate, (FolderList{"/alt"}));  // in the same run
    }
    EXPECT_NE(temp.Read("tmk.ini").find("[MOVEONLEN]\nSrcDir=/src/a;/src/b;\nDestDir=/dest;\n"
                                        "[MERGE]\nSrcDir=/m/one;/m/Two;/m/three;\nDestDir=\n"
                                        "AltDir=/alt\n"),
              std::string::npos);
    const Histories h = HistoriesOf(AppSettings(path));
    EXPECT_EQ(h.moveSource, (FolderList{"/src/a", "/src/b"}));
    EXPECT_EQ(h.moveDestination, (FolderList{"/dest"}));
    EXPECT_EQ(h.mergeSource, (FolderList{"/m/one", "/m/Two", "/m/three"}));
    EXPECT_TRUE(h.mergeDestination.empty());
    EXPECT_EQ(h.mergeAlternate, (FolderList{"/alt"}));
}

TEST(AppSettingsTest, AHandEditedFileKeepsEverythingNoDialogChanged) {
    TempFolder temp;
    const std::string original =
        "; written by hand\n[TMKAPP]\nVersion=0.9\nMode=custom\n\n[Unknown Section]\n"
        "anything = goes here\n\n[moveonlen]\nsrcdir=/a;;/b\nDestDir=;/lead\n# kept comment\n"
        "[MERGE]\nSrcDir=/only one\nDestDir=\"  /blank edges ; \"\nAltDir=/x;/y;\n"
        "[COMMON]\nSrcDir=/common/a;\n[Trailer]\nk=v\n";
    const std::string path = temp.File("tmk.ini", original);
    {
        AppSettings settings(path);
        const Histories h = HistoriesOf(settings);
        EXPECT_EQ(h.moveSource, (FolderList{"/a", "", "/b"}));
        EXPECT_EQ(h.moveDestination, (FolderList{"", "/lead"}));
        EXPECT_EQ(h.mergeSource, (FolderList{"/only one"}));
        EXPECT_EQ(h.mergeDestination, (FolderList{"  /blank edges ", " "}));
        EXPECT_EQ(h.mergeAlternate, (FolderList{"/x", "/y"}));
    }
    const std::string options =
        OptionSection("NAME", "FF") + OptionSection("EXT", "FF") + OptionSection("DIR", "FF");
    // Only TMKAPP's two values change; the option sections, absent before, are added.
    std::string expected = original;
    expected.replace(expected.find("Version=0.9\nMode=custom"), 23, "Version=1.20\nMode=std");
    EXPECT_EQ(temp.Read("tmk.ini"), expected + options);
}

// Values read are cut at their limits; histories given longer than their stored width lose
// whole entries.
TEST(AppSettingsTest, ReadingLimitsAndStoredWidths) {
    TempFolder temp;
    const std::string longText(1100, 'L');
    const std::string path =
        temp.File("tmk.ini", "[NAME]\nRepOrig=" + longText + "\n[MERGE]\nAltDir=/" + longText +
                                 "\n[COMMON]\nDestDir=/" + longText + "\n");
    AppSettings settings(path);
    RenameOptions options;
    settings.GetOptions(kPageNames, options);
    EXPECT_EQ(options.RepOrig, longText.substr(0, kOptionTextChars));
    EXPECT_EQ(HistoriesOf(settings).mergeAlternate,
              (FolderList{"/" + longText.substr(0, kHistoryReadChars - 1)}));
    FolderList common;
    settings.ReadCommonDestinationList(common);
    EXPECT_EQ(common, (FolderList{"/" + longText.substr(0, kCommonReadChars - 1)}));

    const std::string entry = "/" + std::string(99, 'e') + ";";  // 101 characters
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += entry;
    }
    settings.SetMoveOnLengthLists(entry + entry + entry, "/" + std::string(300, 'x'));
    settings.SetMergeLists(eleven, entry, "");
    const Histories h = HistoriesOf(settings);
    EXPECT_EQ(h.moveSource, FolderList(2, entry.substr(0, 100)));    // 202 of at most 259
    EXPECT_TRUE(h.moveDestination.empty());                          // too long by itself
    EXPECT_EQ(h.mergeSource, FolderList(10, entry.substr(0, 100)));  // 1010 of at most 1046
    ASSERT_TRUE(settings.SaveAll());
    EXPECT_EQ(ReadProfileString("MOVEONLEN", "SrcDir", "", 2000, path), entry + entry);
    EXPECT_EQ(ReadProfileString("MOVEONLEN", "DestDir", "<none>", 2000, path), "");
}

TEST(AppSettingsTest, CommonListsAreReadAtTheCallAndWrittenWhenGiven) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    const auto stored = [&](const char* key) {
        return ReadProfileString("COMMON", key, "<none>", 1043, path);
    };
    {
        AppSettings settings(path);
        // Read at the moment of the call, not at construction.
        ASSERT_TRUE(WriteProfileString("COMMON", "SrcDir", "/later;/Other;", path));
        FolderList source;
        settings.ReadCommonSourceList(source);
        EXPECT_EQ(source, (FolderList{"/later", "/Other"}));
    }
    // Without lists from the rename window, COMMON stays as the file has it.
    EXPECT_EQ(stored("SrcDir"), "/later;/Other;");
    EXPECT_EQ(stored("DestDir"), "<none>");
    {
        AppSettings settings(path);
        settings.SetCommonSourceList({"/s1", "/s2"});
        settings.SetCommonDestinationList({"/d1"});
        // Still the file, also after a rename window gave its lists back: they are written
        // only at the save.
        FolderList source;
        FolderList destination{"stale"};
        settings.ReadCommonSourceList(source);
        settings.ReadCommonDestinationList(destination);
        EXPECT_EQ(source, (FolderList{"/later", "/Other"}));
        EXPECT_TRUE(destination.empty());
    }
    EXPECT_EQ(stored("SrcDir"), "/s1;/s2;");
    EXPECT_EQ(stored("DestDir"), "/d1;");
}

TEST(AppSettingsTest, UnknownExecutablePathShowsCautionAndKeepsDefaults) {
    TempFolder temp;
    const std::string path = temp.File("tmk.ini", "[NAME]\nInsPos=9\n");
    std::vector<std::string> shown;
    {
        AppSettings settings(IniLocation{path, false},
                             [&](const std::string& text, const std::string& caption) {
                                 shown.push_back(caption + ": " + text);
                             });
        RenameOptions options;
        settings.GetOptions(kPageNames, options);
        EXPECT_EQ(options.InsPos, 0);
    }
    EXPECT_EQ(shown, std::vector<std::string>{"Caution: Unable to find tmk.ini. Any previous "
                                              "defaults might be lost. A new tmk.ini will be "
                                              "created."});
    EXPECT_EQ(ReadProfileInt("NAME", "InsPos", -1, path), 0);  // the defaults were saved
}

// A tmk.ini that cannot be read whole, or that is no regular file, gives the defaults without
// a hang or a crash, and is never written over.
TEST(AppSettingsTest, UnreadableOrOddSettingsFilesAreLeftAsTheyWere) {
    TempFolder temp;
    const std::string content = "[NAME]\nInsPos=9\n[Mine]\nkeep=me\n";
    const struct {
        const char* kind;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"no read permission",
         [&](const std::string& path) {
             temp.File(path.substr(temp.Path().size() + 1), content);
             std::filesystem::permissions(path, std::filesystem::perms::none);
         }},
        {"larger than can be indexed",
         [&](const std::string& path) {
             temp.SizedFile(path.substr(temp.Path().size() + 1), std::uint64_t{5} << 30);
         }},
        {"folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"fifo", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }},
        {"link to a device",
         [](const std::string& path) { std::filesystem::create_symlink("/dev/null", path); }},
    };
    for (const auto& c : cases) {
        const std::string path = temp / (std::string(c.kind) + ".ini");
        c.make(path);
        if (std::string_view(c.kind) == "no read permission" && access(path.c_str(), R_OK) == 0) {
            continue;  // root reads it anyway
        }
        const auto before = std::filesystem::symlink_status(path);
        const auto size = std::filesystem::is_regular_file(before)
                              ? std::filesystem::file_size(path)
                              : std::uintmax_t{0};
        std::vector<std::string> shown;
        {
            AppSettings settings(IniLocation{path, true},
                                 [&](const std::string& text, const std::string& caption) {
                                     shown.push_back(caption + ": " + text);
                                 });
            RenameOptions options;
            settings.GetOptions(kPageNames, options);
            EXPECT_EQ(options.InsPos, 0) << c.kind;
            EXPECT_FALSE(settings.CanSave()) << c.kind;
            options.InsPos = 3;
            settings.SetOptions(kPageNames, options);
            EXPECT_FALSE(settings.SaveAll()) << c.kind;
        }
        EXPECT_EQ(shown, std::vector<std::string>{"Caution: The settings file could not be read; "
                                                  "this run uses the defaults and will not save "
                                                  "over it: " +
                                                  path})
            << c.kind;
        EXPECT_EQ(std::filesystem::symlink_status(path).type(), before.type()) << c.kind;
        if (std::filesystem::is_regular_file(before)) {
            EXPECT_EQ(std::filesystem::file_size(path), size) << c.kind;
        }
        EXPECT_FALSE(WriteProfileString("NAME", "InsPos", "4", path)) << c.kind;
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_EQ(temp.Names().size(), std::size(cases)) << "no temporary file is left";
}

TEST(AppSettingsTest, LocationRule) {
    const auto writable = [](const std::string& folder) { return folder == "/opt/tmk"; };
    const struct {
        const char *tmkIni, *exe, *configHome, *home, *path;
        bool found;
    } cases[] = {
        {"/custom/my.ini", "", "", "", "/custom/my.ini", true},
        {"", "/opt/tmk/tidemark", "/cfg", "/home/u", "/opt/tmk/tmk.ini", true},
        {"", "/usr/bin/tidemark", "/cfg", "/home/u", "/cfg/tidemark/tmk.ini", true},
        {"", "/usr/bin/tidemark", "", "/home/u", "/home/u/.config/tidemark/tmk.ini", true},
        {"", "/usr/bin/tidemark", "relative", "/home/u", "/home/u/.config/tidemark/tmk.ini", true},
        {"", "", "/cfg", "/home/u", "/cfg/tidemark/tmk.ini", false},
        {"", "/usr/bin/tidemark", "", "", "", true},
    };
    for (const auto& c : cases) {
        const IniLocation location =
            ChooseIniLocation(c.tmkIni, c.exe, c.configHome, c.home, writable);
        EXPECT_EQ(location.path, c.path) << c.exe;
        EXPECT_EQ(location.executableFound, c.found) << c.exe;
    }

    // The process's own rule honours TMK_INI, and then shows no message.
    TempFolder temp;
    const std::string path = temp.File("chosen.ini", "[DIR]\nAppend=_x\n");
    const char* old = getenv("TMK_INI");
    const std::string saved = old ? old : "";
    setenv("TMK_INI", path.c_str(), 1);
    int messages = 0;
    {
        AppSettings settings([&](const std::string&, const std::string&) { ++messages; });
        EXPECT_EQ(settings.IniPath(), path);
        RenameOptions options;
        settings.GetOptions(kPageFolders, options);
        EXPECT_EQ(options.Append, "_x");
    }
    old ? setenv("TMK_INI", saved.c_str(), 1) : unsetenv("TMK_INI");
    EXPECT_EQ(messages, 0);
    EXPECT_EQ(ReadProfileString("TMKAPP", "Version", "", 127, path), "1.20");
}

}  // namespace
}  // namespace tidemark::settings
