#include "settings/app_settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <vector>

#include "settings/ini_file.h"
#include "tests/support/temp_folder.h"

namespace tidemark::settings {
namespace {

namespace fs = std::filesystem;
using rename::RenameOptions;
using tidemark::testing::TempFolder;
using Lists = std::vector<FolderList>;
using Texts = std::vector<std::string>;

std::string OptionSection(const char* name) {
    return std::string("[") + name +
           "]\nChkBox=FF\nInsPos=0\nDelPos=0\nDelNum=0\nLCrop=0\nRCrop=0\nRepOrig=\nRepNew=\n"
           "ChgName=\nInsert=\nPrepend=\nAppend=\n";
}

// The move-on-length source and destination, then the merge source, destination and alternate.
Lists Histories(const AppSettings& settings) {
    Lists h(5);
    settings.GetMoveOnLengthLists(h[0], h[1]);
    settings.GetMergeLists(h[2], h[3], h[4]);
    return h;
}

ShowMessageFunction RecordInto(Texts& shown) {
    return [&shown](const std::string& text, const std::string& caption) {
        shown.push_back(caption + ": " + text);
    };
}

// A missing file gives the defaults and is created at the save with every section but COMMON.
// Switches and case are never stored; texts and numbers round-trip at their extremes.
TEST(AppSettingsTest, DefaultsThenOptionRecordsRoundTripWithoutSwitchesAndCase) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    const auto given = [](int page) {
        RenameOptions o{.SelOnly = page != 1,
                        .MatchCase = page != 0,
                        .InsPos = page + 1,
                        .DelPos = -2 - page,
                        .DelNum = 30 + page,
                        .LCrop = INT32_MAX,
                        .RCrop = INT32_MIN,
                        .CaseMode = rename::kCaseUpper};
        o.DoReplace = o.DoChgName = o.DoInsert = o.DoPrepend = true;
        o.DoAppend = o.DoDelete = o.DoLCrop = o.DoRCrop = true;
        o.RepOrig = std::string("old ").append(std::to_string(page));
        o.RepNew = "new;%s 50%";
        o.ChgName = std::string("Holiday [").append(std::to_string(page)).append("]");
        o.Insert = " - ";  // blanks at both ends survive
        o.Prepend = "\"quoted\"";
        o.Append = "\xC3\xA9t\xC3\xA9";
        return o;
    };
    {
        AppSettings settings(path);
        for (int page = 0; page < 3; ++page) {
            RenameOptions options{.DoAppend = true, .Append = "left over"};
            ASSERT_TRUE(settings.GetOptions(page, options));
            EXPECT_EQ(options, RenameOptions{}) << page;
        }
        FolderList common{"stale"};
        settings.ReadCommonSourceList(common);
        EXPECT_TRUE(common.empty());
        EXPECT_EQ(Histories(settings), Lists(5));
        EXPECT_FALSE(settings.SetOptions(3, given(0)) || settings.SetOptions(-1, given(0)));
        for (int page = 0; page < 2; ++page) {  // the folder page keeps its defaults
            ASSERT_TRUE(settings.SetOptions(page, given(page)));
        }
        EXPECT_FALSE(temp.Exists("tmk.ini"));  // nothing is written during the run
    }
    const std::string text = temp.Read("tmk.ini");
    EXPECT_TRUE(text.starts_with("[TMKAPP]\nVersion=1.20\nMode=std\n[NAME]\nChkBox=TF\n")) << text;
    EXPECT_NE(text.find("[EXT]\nChkBox=FT\nInsPos=2\nDelPos=-3\nDelNum=31\nLCrop=2147483647\n"
                        "RCrop=-2147483648\nRepOrig=old 1\nRepNew=new;%s 50%\n"
                        "ChgName=Holiday [1]\n"),
              std::string::npos);
    EXPECT_TRUE(
        text.ends_with(OptionSection("DIR") +
                       "[MOVEONLEN]\nSrcDir=\nDestDir=\n[MERGE]\nSrcDir=\nDestDir=\nAltDir=\n"))
        << text;
    AppSettings reloaded(path);
    for (int page = 0; page < 3; ++page) {
        RenameOptions expected = page < 2 ? given(page) : RenameOptions{};
        expected.ClearRuleSwitches();
        expected.CaseMode = rename::kCaseNone;
        RenameOptions read;
        ASSERT_TRUE(reloaded.GetOptions(page, read));
        EXPECT_EQ(read, expected) << page;
    }
    RenameOptions untouched{.InsPos = 77};
    EXPECT_FALSE(reloaded.GetOptions(3, untouched));
    EXPECT_EQ(untouched.InsPos, 77);
}

// What a hand-edited file gives: ChkBox letters in any case, values cut at their limits.
TEST(AppSettingsTest, ReadingChkBoxAndLongValues) {
    const std::pair<const char*, std::pair<bool, bool>> cases[] = {
        {"ChkBox=tF", {true, false}}, {"ChkBox=T", {true, false}}, {"ChkBox=ft", {false, true}}};
    TempFolder temp;
    for (const auto& [line, flags] : cases) {
        AppSettings settings(temp.File("tmk.ini", std::string("[EXT]\n") + line + "\n"));
        RenameOptions options;
        settings.GetOptions(kPageExtensions, options);
        EXPECT_EQ(options.SelOnly, flags.first) << line;
        EXPECT_EQ(options.MatchCase, flags.second) << line;
    }
    const std::string longText(1100, 'L');
    AppSettings settings(temp.File("tmk.ini", "[NAME]\nRepOrig=" + longText +
                                                  "\n[MERGE]\nAltDir=/" + longText +
                                                  "\n[COMMON]\nDestDir=/" + longText + "\n"));
    RenameOptions options;
    settings.GetOptions(kPageNames, options);
    EXPECT_EQ(options.RepOrig, longText.substr(0, kOptionTextChars));
    EXPECT_EQ(Histories(settings)[4],
              (FolderList{"/" + longText.substr(0, kHistoryReadChars - 1)}));
    FolderList common;
    settings.ReadCommonDestinationList(common);
    EXPECT_EQ(common, (FolderList{"/" + longText.substr(0, kCommonReadChars - 1)}));
}

// Dialog histories are kept in stored form: longer ones lose whole entries from the end to fit.
TEST(AppSettingsTest, HistoriesGivenByTheDialogsRoundTripWithinTheirWidths) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    const std::string entry = "/" + std::string(99, 'e') + ";";  // 101 characters
    std::string eleven;
    for (int i = 0; i < 11; ++i) {
        eleven += entry;
    }
    const std::string stored = entry.substr(0, 100);
    const Lists expected{FolderList(2, stored),   // 202 of at most 259
                         {},                      // too long by itself
                         FolderList(10, stored),  // 1010 of at most 1046
                         {stored},
                         {"/alt"}};
    {
        AppSettings settings(path);
        settings.SetMoveOnLengthLists(entry + entry + entry, "/" + std::string(300, 'x'));
        settings.SetMergeLists(eleven, entry, "/alt");
        EXPECT_EQ(Histories(settings), expected);
    }
    EXPECT_NE(temp.Read("tmk.ini").find("[MOVEONLEN]\nSrcDir=" + entry + entry + "\nDestDir=\n" +
                                        "[MERGE]\nSrcDir=" + eleven.substr(0, 1010) +
                                        "\nDestDir=" + entry + "\nAltDir=/alt\n"),
              std::string::npos);
}

TEST(AppSettingsTest, CommonListsAreReadAtTheCallAndWrittenWhenGiven) {
    TempFolder temp;
    const std::string path = temp / "tmk.ini";
    const auto stored = [&](const char* key) {
        return ReadProfileString("COMMON", key, "<none>", 1043, path);
    };
    FolderList source, destination{"stale"};
    {
        AppSettings settings(path);
        ASSERT_TRUE(WriteProfileString("COMMON", "SrcDir", "/later;/Other;", path));
        settings.ReadCommonSourceList(source);  // read at the call, not at construction
        EXPECT_EQ(source, (FolderList{"/later", "/Other"}));
    }
    // Without lists from the rename window, COMMON stays as the file has it.
    EXPECT_EQ(stored("SrcDir"), "/later;/Other;");
    EXPECT_EQ(stored("DestDir"), "<none>");
    {
        AppSettings settings(path);
        settings.SetCommonSourceList({"/s1", "/s2"});
        settings.SetCommonDestinationList({"/d1"});
        // Lists given back reach the file only at the save.
        settings.ReadCommonSourceList(source);
        settings.ReadCommonDestinationList(destination);
        EXPECT_EQ(source, (FolderList{"/later", "/Other"}));
        EXPECT_TRUE(destination.empty());
    }
    EXPECT_EQ(stored("SrcDir"), "/s1;/s2;");
    EXPECT_EQ(stored("DestDir"), "/d1;");
}

// tmk.ini not readable whole or not a regular file: defaults, no hang or crash, never written over.
TEST(AppSettingsTest, UnreadableOrOddSettingsFilesAreLeftAsTheyWere) {
    TempFolder temp;
    fs::permissions(temp.File("unreadable.ini", "[NAME]\nInsPos=9\n"), fs::perms::none);
    temp.SizedFile("too-large-to-index.ini", std::uint64_t{5} << 30);
    temp.Folder("folder.ini");
    mkfifo((temp / "fifo.ini").c_str(), 0644);
    fs::create_symlink("/dev/null", temp / "device.ini");
    for (const std::string name :
         {"unreadable.ini", "too-large-to-index.ini", "folder.ini", "fifo.ini", "device.ini"}) {
        SCOPED_TRACE(name);
        const std::string path = temp / name;
        if (name == "unreadable.ini" && access(path.c_str(), R_OK) == 0) {
            continue;  // root reads it anyway
        }
        const auto type = fs::symlink_status(path).type();
        const auto size = fs::is_regular_file(path) ? fs::file_size(path) : 0;
        Texts shown;
        {
            AppSettings settings(IniLocation{path, true}, RecordInto(shown));
            RenameOptions options;
            settings.GetOptions(kPageNames, options);
            EXPECT_EQ(options.InsPos, 0);
            EXPECT_FALSE(settings.CanSave());
            options.InsPos = 3;
            settings.SetOptions(kPageNames, options);
            EXPECT_FALSE(settings.SaveAll());
        }
        EXPECT_EQ(shown, Texts{"Caution: The settings file could not be read; this run uses the "
                               "defaults and will not save over it: " +
                               path});
        EXPECT_EQ(fs::symlink_status(path).type(), type);
        EXPECT_EQ(fs::is_regular_file(path) ? fs::file_size(path) : 0, size);
        EXPECT_FALSE(WriteProfileString("NAME", "InsPos", "4", path));
    }
    {
        // One that is no longer a file when the run ends is left alone as well.
        AppSettings settings(temp.File("gone.ini", "[NAME]\nInsPos=9\n"));
        fs::remove(temp / "gone.ini");
        temp.Folder("gone.ini");
        EXPECT_FALSE(settings.SaveAll());
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(temp.Names().size(), 6u) << "no temporary file is left";
}

TEST(AppSettingsTest, LocationRuleAndCautionForAnUnknownExecutable) {
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
    const std::string path = temp.File("chosen.ini", "[DIR]\nAppend=_x\n[NAME]\nInsPos=9\n");
    setenv("TMK_INI", path.c_str(), 1);
    Texts shown;
    {
        AppSettings settings(RecordInto(shown));
        EXPECT_EQ(settings.IniPath(), path);
        RenameOptions options;
        settings.GetOptions(kPageFolders, options);
        EXPECT_EQ(options.Append, "_x");
    }
    unsetenv("TMK_INI");
    EXPECT_EQ(shown, Texts{});
    EXPECT_EQ(ReadProfileString("TMKAPP", "Version", "", 127, path), "1.20");

    // Without the executable's path the Caution is shown, nothing is loaded, the defaults saved.
    {
        AppSettings settings(IniLocation{path, false}, RecordInto(shown));
        RenameOptions options;
        settings.GetOptions(kPageNames, options);
        EXPECT_EQ(options.InsPos, 0);
    }
    EXPECT_EQ(shown, Texts{"Caution: Unable to find tmk.ini. Any previous defaults might be lost. "
                           "A new tmk.ini will be created."});
    EXPECT_EQ(ReadProfileInt("NAME", "InsPos", -1, path), 0);
}

}  // namespace
}  // namespace tidemark::settings
