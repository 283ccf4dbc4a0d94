#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs_faults.h"
#include "tests/support/temp_folder.h"

namespace tidemark::settings {
namespace {

using tidemark::testing::TempFolder;
using Names = std::vector<std::string>;

// Appended, not "s" + std::to_string(n): GCC 12 at -O3 warns falsely (-Wrestrict) on that form.
std::string Named(std::string_view prefix, int n) {
    return std::string(prefix).append(std::to_string(n));
}

TEST(IniFileTest, ReadsStringsAndIntegersByTheProfileRules) {
    const IniFile file = IniFile::FromText(
        "\xEF\xBB\xBF[Top]\nfirst=1\n; a comment line\n  [ Spaced ]  \n  Key  =  padded value  \n"
        "dq=\"  inside quotes \"\nsq='single'\nmixed=\"open'\nlonequote=\"\nbare\nempty=\n"
        "twice=first\nTWICE=second\neq=a=b\n[other]\nonly=here\n[spaced]\n"
        "Key=from the duplicate section\nlate=never read\n[n]\nplain=42\nneg= -7\nplus=+3\n"
        "tail=12abc\nword=abc\nempty=\nquoted=\"5\"\nwrap=4294967295\nbig=2147483648\n");
    const char* strings[][3] = {
        {"top", "FIRST", "1"},  // a byte-order mark does not hide the first section
        {"SPACED", "key", "padded value"},
        {"Spaced", "dq", "  inside quotes "},
        {"Spaced", "sq", "single"},
        {"Spaced", "mixed", "\"open'"},
        {"Spaced", "lonequote", "\""},
        {"Spaced", "bare", ""},
        {"Spaced", "empty", ""},
        {"Spaced", "twice", "first"},
        {"Spaced", "eq", "a=b"},
        {"Spaced", "only", "<default>"},  // belongs to another section
        {"Spaced", "late", "<default>"},  // only the first section of a name is searched
        {"missing", "first", "<default>"},
        {"Top", "missing", "<default>"},
    };
    for (const auto& [section, key, expected] : strings) {
        EXPECT_EQ(file.GetString(section, key, "<default>", 254), expected) << section << key;
    }
    const std::pair<const char*, std::int32_t> integers[] = {
        {"plain", 42}, {"neg", -7},   {"plus", 3},  {"tail", 12},       {"word", 0},
        {"empty", 99}, {"quoted", 5}, {"wrap", -1}, {"big", INT32_MIN}, {"missing", 99},
    };
    for (const auto& [key, expected] : integers) {
        EXPECT_EQ(file.GetInt("N", key, 99), expected) << key;
    }
}

TEST(IniFileTest, CutsValuesAndDefaultsToTheLimitInCharacters) {
    std::string accented;  // "é" is two bytes and one character
    for (int i = 0; i < 300; ++i) {
        accented += "\xC3\xA9";
    }
    const std::string longText(300, 'x');
    const IniFile file = IniFile::FromText("[s]\nlong=" + longText + "\naccented=" + accented +
                                           "\nshort=abc\nstray=a\xFF\xC3\xA9z\n");
    EXPECT_EQ(file.GetString("s", "long", "", 254), longText.substr(0, 254));
    EXPECT_EQ(file.GetString("s", "long", "", 259), longText.substr(0, 259));
    EXPECT_EQ(file.GetString("s", "accented", "", 127), accented.substr(0, 254));
    EXPECT_EQ(file.GetString("s", "short", "", 3), "abc");
    EXPECT_EQ(file.GetString("s", "short", "", 2), "ab");
    EXPECT_EQ(file.GetString("s", "none", "default", 3), "def");
    // A stray byte counts as one character and is kept as it is.
    EXPECT_EQ(file.GetString("s", "stray", "", 3), "a\xFF\xC3\xA9");
}

TEST(IniFileTest, WritingChangesOnlyTheLinesItMustAndReadsBackExactly) {
    IniFile file = IniFile::FromText(
        "; settings edited by hand\r\n[Keep]\r\nunknown = stays  \r\n\r\n[name]\r\n"
        "insPos = 5\r\n# another comment\r\n\r\n[Last]\r\nx=1");  // no ending at the end
    file.SetString("NAME", "InsPos", "7");  // the file's spelling of the key stays
    file.SetString("NAME", "DelPos", "2");  // after the section's last non-blank line
    file.SetString("last", "y", "2");       // the last line gets its ending
    file.SetString("New", "Key", "value");  // a new section at the end
    EXPECT_EQ(file.Text(),
              "; settings edited by hand\r\n[Keep]\r\nunknown = stays  \r\n\r\n[name]\r\n"
              "insPos=7\r\n# another comment\r\nDelPos=2\r\n\r\n[Last]\r\nx=1\r\ny=2\r\n"
              "[New]\r\nKey=value\r\n");

    for (const char* value : {"plain", "", " leading", "trailing ", "\"quoted\"", "'single'",
                              "\"half", "a=b;c;", "tab\t", "\"", "x\"", "semi;"}) {
        IniFile one;
        one.SetString("s", "k", value);
        EXPECT_EQ(IniFile::FromText(one.Text()).GetString("s", "k", "<none>", 1000), value);
    }
    // Values the reader keeps as they are are written as they are; a value is one line.
    IniFile one;
    one.SetString("A", "k", "C:/a;D:/b;");
    EXPECT_EQ(one.Text(), "[A]\nk=C:/a;D:/b;\n");
    one.SetString("A", "k", "first\nk2=second");
    EXPECT_EQ(one.Text(), "[A]\nk=first\n");
}

// Thousands of sections and keys (each name also used by a later section, which is never read)
// stay reachable while values are changed and added, and after a write and read back.
TEST(IniFileTest, LargeFilesKeepEveryKeyReachableThroughChanges) {
    constexpr int kSections = 3000;
    std::string text;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kSections; ++i) {
            text.append(Named("[S", i)).append("]\n\n");
            for (int k = 0; k < 4; ++k) {
                text.append(Named("K", k))
                    .append(Named("=", pass * 100000 + i * 10 + k))
                    .append("\n");
            }
        }
    }
    IniFile file = IniFile::FromText(text);
    for (int i = 0; i < kSections; ++i) {
        if (i % 7 == 0) {
            file.SetString(Named("s", i), Named("k", i % 4), Named("changed", i));
        }
        if (i % 5 == 0) {
            file.SetString(Named("S", i), "K4", Named("new", i));
            file.SetString(Named("Added", i), "K", std::to_string(i));
        }
    }
    const auto expected = [](int i, int k) {
        return k == 4 ? (i % 5 == 0 ? Named("new", i) : "<default>")
                      : (i % 7 == 0 && k == i % 4 ? Named("changed", i) : Named("", i * 10 + k));
    };
    const IniFile reread = IniFile::FromText(file.Text());
    EXPECT_EQ(reread.Text(), file.Text());
    for (const IniFile* f : {static_cast<const IniFile*>(&file), &reread}) {
        for (int i = 0; i < kSections; ++i) {
            for (int k = 0; k <= 4; ++k) {
                ASSERT_EQ(f->GetString(Named("S", i), Named("K", k), "<default>", 100),
                          expected(i, k))
                    << i << "/" << k;
            }
            ASSERT_EQ(f->GetString(Named("added", i), "k", "<default>", 100),
                      i % 5 == 0 ? std::to_string(i) : "<default>");
        }
    }
}

TEST(IniFileTest, SaveReplacesTheFileKeepingItsModeAndLink) {
    namespace fs = std::filesystem;
    TempFolder temp;
    const std::string path = temp / "sub/dir/tmk.ini";
    IniFile file;
    file.SetString("A", "k", "1");
    ASSERT_TRUE(file.Save(path));  // the missing folders are made
    EXPECT_EQ(temp.Read("sub/dir/tmk.ini"), "[A]\nk=1\n");

    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, mode);
    EXPECT_TRUE(WriteProfileString("a", "K", "2", path));
    EXPECT_EQ(ReadProfileString("A", "k", "", 10, path), "2");
    EXPECT_EQ(ReadProfileInt("A", "k", 0, path), 2);
    EXPECT_EQ(temp.Names("sub/dir"), Names{"tmk.ini"});  // no temporary left
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, mode);

    // Through a symbolic link the linked file is replaced and the link stays.
    const std::string link = temp / "link.ini";
    fs::create_symlink(path, link);
    EXPECT_TRUE(WriteProfileString("A", "k", "3", link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadProfileString("A", "k", "", 10, path), "3");
    EXPECT_EQ(ReadProfileString("A", "k", "none", 10, temp / "absent.ini"), "none");
}

// A real short write: the file-size limit of this process stops the save part way, as a full
// disk would (SIGXFSZ ignored).
TEST(IniFileTest, AnInterruptedSaveLeavesTheOldFileWhole) {
    TempFolder temp;
    const std::string old = "; hand made\n[NAME]\nAppend=old\n";
    const std::string path = temp.File("tmk.ini", old);
    IniFile file = IniFile::Load(path);
    file.SetString("NAME", "Append", std::string(20000, 'n'));
    const sighandler_t handler = signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{4096, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool savedUnderLimit = file.Save(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);
    EXPECT_FALSE(savedUnderLimit);
    EXPECT_EQ(temp.Read("tmk.ini"), old);
    EXPECT_EQ(temp.Names(), Names{"tmk.ini"});
    EXPECT_TRUE(file.Save(path));  // once the write can finish
    EXPECT_EQ(ReadProfileString("name", "append", "", 30000, path), std::string(20000, 'n'));
}

// Each file call of a read-and-save failing in turn: the call tells it, and tmk.ini holds the
// old text or the new one (the new only after a good save), also at the moment of the failure;
// no temporary file stays.
TEST(IniFileTest, EveryFailingCallOfASaveLeavesOneWholeFile) {
    using platform::FsCallKind;
    TempFolder temp;
    const std::string old = "; by hand\n[NAME]\nAppend=old\n[Other]\nkeep=me\n";
    const std::string fresh = "; by hand\n[NAME]\nAppend=new\n[Other]\nkeep=me\n";
    for (const int error : {EIO, ENOSPC, EACCES}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(Named("call ", n) + Named(" fails with ", error));
            temp.File("tmk.ini", old);
            std::string atFault;
            platform::FaultInjection faults(
                {{.kind = FsCallKind::Any, .failAt = n, .error = error}},
                [&] { atFault = temp.Read("tmk.ini"); });
            const bool saved = WriteProfileString("NAME", "Append", "new", temp / "tmk.ini");
            EXPECT_EQ(temp.Names(), Names{"tmk.ini"});
            if (!faults.Fired()) {
                EXPECT_TRUE(saved);
                EXPECT_EQ(temp.Read("tmk.ini"), fresh);
                EXPECT_EQ(faults.Calls(FsCallKind::Sync), 2) << "the new file, then its folder";
                break;
            }
            EXPECT_TRUE(atFault == old || atFault == fresh) << atFault;
            EXPECT_EQ(temp.Read("tmk.ini"), saved ? fresh : old);
        }
    }
}

}  // namespace
}  // namespace tidemark::settings
