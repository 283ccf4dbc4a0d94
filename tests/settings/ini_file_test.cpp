#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cerrno>
#include <filesystem>

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

// A byte-order mark does not hide the first section; only a name's first section is searched.
// Values and defaults are cut to the limit in characters ("é" is one, as is a kept stray byte).
TEST(IniFileTest, ReadsStringsAndIntegersByTheProfileRules) {
    const std::string longText(300, 'x');
    const IniFile file = IniFile::FromText(
        "\xEF\xBB\xBF[Top]\nfirst=1\n; a comment line\n  [ Spaced ]  \n  Key  =  padded value  \n"
        "dq=\"  inside quotes \"\nsq='single'\nmixed=\"open'\nlonequote=\"\nbare\nempty=\n"
        "twice=first\nTWICE=second\neq=a=b\nlong=" +
        longText +
        "\nstray=a\xFF\xC3\xA9z\n"
        "accented=\xC3\xA9\xC3\xA9\xC3\xA9\n[other]\nonly=here\n[spaced]\n"
        "Key=from the duplicate section\nlate=never read\n[n]\nplain=42\nneg= -7\nplus=+3\n"
        "tail=12abc\nword=abc\nempty=\nquoted=\"5\"\nwrap=4294967295\nbig=2147483648\n");
    const struct {
        const char *section, *key;
        std::size_t limit;
        std::string expected;
    } strings[] = {{"top", "FIRST", 254, "1"},
                   {"SPACED", "key", 254, "padded value"},
                   {"Spaced", "dq", 254, "  inside quotes "},
                   {"Spaced", "sq", 254, "single"},
                   {"Spaced", "mixed", 254, "\"open'"},
                   {"Spaced", "lonequote", 254, "\""},
                   {"Spaced", "bare", 254, ""},
                   {"Spaced", "twice", 254, "first"},
                   {"Spaced", "eq", 254, "a=b"},
                   {"Spaced", "only", 254, "<default>"},
                   {"Spaced", "late", 254, "<default>"},
                   {"missing", "first", 254, "<default>"},
                   {"Spaced", "long", 254, longText.substr(0, 254)},
                   {"Spaced", "long", 259, longText.substr(0, 259)},
                   {"Spaced", "eq", 2, "a="},
                   {"Spaced", "accented", 2, "\xC3\xA9\xC3\xA9"},
                   {"Spaced", "stray", 3, "a\xFF\xC3\xA9"},
                   {"Spaced", "none", 3, "<de"}};
    for (const auto& [section, key, limit, expected] : strings) {
        EXPECT_EQ(file.GetString(section, key, "<default>", limit), expected) << section << key;
    }
    const std::pair<const char*, std::int32_t> integers[] = {
        {"plain", 42}, {"neg", -7},   {"plus", 3},  {"tail", 12},       {"word", 0},
        {"empty", 99}, {"quoted", 5}, {"wrap", -1}, {"big", INT32_MIN}, {"missing", 99},
    };
    for (const auto& [key, expected] : integers) {
        EXPECT_EQ(file.GetInt("N", key, 99), expected) << key;
    }
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

// Thousands of sections (names reused, not read) stay reachable through edits, writes and rereads.
TEST(IniFileTest, LargeFilesKeepEveryKeyReachableThroughChanges) {
    constexpr int kSections = 3000;
    std::string text;
    for (int i = 0; i < 2 * kSections; ++i) {
        text.append(Named("[S", i % kSections)).append(Named("]\nK=", i)).append("\n");
    }
    IniFile file = IniFile::FromText(text);
    for (int i = 0; i < kSections; i += 5) {
        file.SetString(Named("s", i), "k", Named("changed", i));
        file.SetString(Named("S", i), "K2", Named("new", i));
        file.SetString(Named("Added", i), "K", "a");
    }
    const IniFile reread = IniFile::FromText(file.Text());
    EXPECT_EQ(reread.Text(), file.Text());
    for (const IniFile* f : {static_cast<const IniFile*>(&file), &reread}) {
        for (int i = 0; i < kSections; ++i) {
            const bool changed = i % 5 == 0;
            ASSERT_EQ(f->GetString(Named("S", i), "K", "-", 99),
                      changed ? Named("changed", i) : std::to_string(i));
            ASSERT_EQ(f->GetString(Named("S", i), "K2", "-", 99), changed ? Named("new", i) : "-");
            ASSERT_EQ(f->GetString(Named("added", i), "k", "-", 99), changed ? "a" : "-");
        }
    }
}

// Each file call of a read-and-save failing in turn: the call tells it, and tmk.ini holds the
// old text or the new one (the new only after a good save), also at the moment of the failure;
// no temporary file stays. Saved through a link, the linked file is replaced and keeps its mode.
TEST(IniFileTest, EveryFailingCallOfASaveLeavesOneWholeFile) {
    namespace fs = std::filesystem;
    using platform::FsCallKind;
    TempFolder temp;
    const std::string old = "; by hand\n[NAME]\nAppend=old\n[Other]\nkeep=me\n";
    const std::string fresh = "; by hand\n[NAME]\nAppend=new\n[Other]\nkeep=me\n";
    const std::string link = temp / "link.ini";
    fs::create_symlink(temp / "tmk.ini", link);
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    for (const int error : {EIO, ENOSPC, EACCES}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(Named("call ", n) + Named(" fails with ", error));
            fs::permissions(temp.File("tmk.ini", old), mode);
            std::string atFault;
            platform::FaultInjection faults(
                {{.kind = FsCallKind::Any, .failAt = n, .error = error}},
                [&] { atFault = temp.Read("tmk.ini"); });
            const bool saved = WriteProfileString("NAME", "Append", "new", link);
            EXPECT_EQ(temp.Names(), (Names{"link.ini", "tmk.ini"}));
            if (!faults.Fired()) {
                EXPECT_TRUE(saved);
                EXPECT_EQ(temp.Read("tmk.ini"), fresh);
                EXPECT_TRUE(fs::is_symlink(link));
                EXPECT_EQ(fs::status(link).permissions() & fs::perms::all, mode);
                EXPECT_EQ(faults.Calls(FsCallKind::Sync), 2) << "the new file, then its folder";
                break;
            }
            EXPECT_TRUE(atFault == old || atFault == fresh) << atFault;
            EXPECT_EQ(temp.Read("tmk.ini"), saved ? fresh : old);
        }
    }
    // Every temporary name taken: the save fails, the file as it was.
    const platform::FaultInjection taken(
        {{.kind = FsCallKind::Open, .error = EEXIST, .persistent = true, .flags = O_EXCL}});
    EXPECT_FALSE(WriteProfileString("NAME", "Append", "newer", link));
    EXPECT_EQ(temp.Read("tmk.ini"), fresh);
}

}  // namespace
}  // namespace tidemark::settings
