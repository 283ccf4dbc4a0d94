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

// prefix followed by n. Appended: "s" + std::to_string(n) draws a false -Wrestrict from GCC 12
// at -O3.
std::string Named(std::string_view prefix, int n) {
    return std::string(prefix).append(std::to_string(n));
}

using tidemark::testing::TempFolder;

TEST(IniFileTest, ReadsValuesByTheProfileRules) {
    const IniFile file = IniFile::FromText(
        "\xEF\xBB\xBF[Top]\nfirst=1\n; a comment line\n  [ Spaced ]  \n  Key  =  padded value  \n"
        "dq=\"  inside quotes \"\nsq='single'\nmixed=\"open'\nlonequote=\"\nbare\nempty=\n"
        "twice=first\nTWICE=second\neq=a=b\n[other]\nonly=here\n[spaced]\n"
        "Key=from the duplicate section\nlate=never read\n");
    const struct {
        const char *section, *key, *expected;
    } cases[] = {
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
    for (const auto& c : cases) {
        EXPECT_EQ(file.GetString(c.section, c.key, "<default>", 254), c.expected)
            << c.section << "/" << c.key;
    }
}

TEST(IniFileTest, CutsValuesAndDefaultsToTheLimitInCharacters) {
    // "é" is two bytes and one character.
    std::string accented;
    for (int i = 0; i < 300; ++i) {
        accented += "\xC3\xA9";
    }
    const IniFile file = IniFile::FromText("[s]\nlong=" + std::string(300, 'x') +
                                           "\naccented=" + accented + "\nshort=abc\n");
    EXPECT_EQ(file.GetString("s", "long", "", 254), std::string(300, 'x').substr(0, 254));
    EXPECT_EQ(file.GetString("s", "long", "", 259).size(), 259u);
    EXPECT_EQ(file.GetString("s", "accented", "", 127), accented.substr(0, 254));
    EXPECT_EQ(file.GetString("s", "short", "", 3), "abc");
    EXPECT_EQ(file.GetString("s", "short", "", 2), "ab");
    EXPECT_EQ(file.GetString("s", "none", "default", 3), "def");
    // A stray byte counts as one character and is kept as it is.
    const IniFile stray = IniFile::FromText("[s]\nv=a\xFF\xC3\xA9z\n");
    EXPECT_EQ(stray.GetString("s", "v", "", 3), "a\xFF\xC3\xA9");
}

TEST(IniFileTest, ReadsIntegersLikeTheProfileReader) {
    const IniFile file = IniFile::FromText(
        "[n]\nplain=42\nneg= -7\nplus=+3\ntail=12abc\nword=abc\nempty=\nquoted=\"5\"\n"
        "wrap=4294967295\nbig=2147483648\n");
    const struct {
        const char* key;
        std::int32_t expected;
    } cases[] = {
        {"plain", 42}, {"neg", -7},   {"plus", 3},  {"tail", 12},       {"word", 0},
        {"empty", 99}, {"quoted", 5}, {"wrap", -1}, {"big", INT32_MIN}, {"missing", 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(file.GetInt("N", c.key, 99), c.expected) << c.key;
    }
}

TEST(IniFileTest, WritingChangesOnlyTheLinesItMust) {
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

    IniFile empty;
    empty.SetString("A", "k", "v");
    EXPECT_EQ(empty.Text(), "[A]\nk=v\n");
}

// Thousands of sections and keys (with later sections of the same names, which are never
// read) stay reachable while values are changed and added, and after a write and read back.
TEST(IniFileTest, LargeFilesKeepEveryKeyReachableThroughChanges) {
    constexpr int kSections = 3000;
    std::string text;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kSections; ++i) {
            // Appended piece by piece: "K" + std::to_string(k) draws a false -Wrestrict from
            // GCC 12 at -O3.
            text.append("[S").append(std::to_string(i)).append("]\n\n");
            for (int k = 0; k < 4; ++k) {
                text.append("K").append(std::to_string(k)).append("=");
                text.append(std::to_string(pass * 100000 + i * 10 + k)).append("\n");
            }
        }
    }
    IniFile file = IniFile::FromText(text);
    const auto expected = [](int i, int k) {
        if (k == 4) {
            return i % 5 == 0 ? Named("new", i) : std::string("<default>");
        }
        return i % 7 == 0 ? Named("changed", i) : std::to_string(i * 10 + k);
    };
    for (int i = 0; i < kSections; ++i) {
        if (i % 7 == 0) {
            file.SetString(Named("s", i), Named("k", i % 4), Named("changed", i));
        }
        if (i % 5 == 0) {
            file.SetString(Named("S", i), "K4", Named("new", i));
            file.SetString(Named("Added", i), "K", std::to_string(i));
        }
    }
    const IniFile reread = IniFile::FromText(file.Text());
    EXPECT_EQ(reread.Text(), file.Text());
    for (const IniFile* f : {static_cast<const IniFile*>(&file), &reread}) {
        for (int i = 0; i < kSections; ++i) {
            for (int k = 0; k <= 4; ++k) {
                const std::string want =
                    (k == i % 4 || k == 4) ? expected(i, k) : std::to_string(i * 10 + k);
                ASSERT_EQ(f->GetString(Named("S", i), Named("K", k), "<default>", 100), want)
                    << i << "/" << k;
            }
            ASSERT_EQ(f->GetString(Named("added", i), "k", "<default>", 100),
                      i % 5 == 0 ? std::to_string(i) : "<default>");
        }
    }
}

TEST(IniFileTest, WrittenValuesReadBackExactly) {
    const char* values[] = {
        "plain",  "",       " leading", "trailing ", "\"quoted\"", "'single'",
        "\"half", "a=b;c;", "tab\t",    "\"",        "x\"",        "semi;",
    };
    for (const char* value : values) {
        IniFile file;
        file.SetString("s", "k", value);
        EXPECT_EQ(IniFile::FromText(file.Text()).GetString("s", "k", "<none>", 1000), value)
            << "[" << value << "]";
    }
    // Values the reader keeps as they are are written as they are.
    IniFile file;
    file.SetString("s", "k", "C:/a;D:/b;");
    EXPECT_EQ(file.Text(), "[s]\nk=C:/a;D:/b;\n");
    // A value is one line: a line break would open a line of its own.
    file.SetString("s", "k", "first\nk2=second");
    EXPECT_EQ(file.Text(), "[s]\nk=first\n");
}

TEST(IniFileTest, SaveReplacesTheFileAndCreatesItsFolder) {
    TempFolder temp;
    const std::string path = temp / "sub/dir/tmk.ini";
    IniFile file;
    file.SetString("A", "k", "1");
    ASSERT_TRUE(file.Save(path));
    EXPECT_EQ(temp.Read("sub/dir/tmk.ini"), "[A]\nk=1\n");

    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    EXPECT_TRUE(WriteProfileString("a", "K", "2", path));
    EXPECT_EQ(ReadProfileString("A", "k", "", 10, path), "2");
    EXPECT_EQ(ReadProfileInt("A", "k", 0, path), 2);
    EXPECT_EQ(temp.Names("sub/dir"), std::vector<std::string>{"tmk.ini"});  // no temporary left
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);

    // Through a symbolic link the linked file is replaced and the link stays.
    const std::string link = temp / "link.ini";
    std::filesystem::create_symlink(path, link);
    EXPECT_TRUE(WriteProfileString("A", "k", "3", link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadProfileString("A", "k", "", 10, path), "3");

    // A missing file reads as empty.
    EXPECT_EQ(ReadProfileString("A", "k", "none", 10, temp / "absent.ini"), "none");
}

// Limits the size of files this process may write, as a full disk would (SIGXFSZ ignored).
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) : handler(signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old);
        const rlimit limit{bytes, old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, handler);
    }
    sighandler_t handler;
    rlimit old{};
};

TEST(IniFileTest, AnInterruptedSaveLeavesTheOldFileWhole) {
    TempFolder temp;
    const std::string old = "; hand made\n[NAME]\nAppend=old\n";
    const std::string path = temp.File("tmk.ini", old);
    IniFile file = IniFile::Load(path);
    file.SetString("NAME", "Append", std::string(20000, 'n'));
    bool saved = true;
    {
        const FileSizeLimit limit(4096);
        saved = file.Save(path);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(temp.Read("tmk.ini"), old);
    EXPECT_EQ(temp.Names(), std::vector<std::string>{"tmk.ini"});
    // Once the write can finish, the same save goes through.
    EXPECT_TRUE(file.Save(path));
    EXPECT_EQ(ReadProfileString("name", "append", "", 30000, path), std::string(20000, 'n'));
}

// Each file call of a read-and-save failing in turn: the call tells it, and tmk.ini holds the
// old text or the new one (the new only after a good save), also at the moment of the failure;
// no temporary file stays.
TEST(IniFileTest, EveryFailingCallOfASaveLeavesOneWholeFile) {
    using platform::FaultInjection;
    using platform::FsCallKind;
    TempFolder temp;
    const std::string old = "; by hand\n[NAME]\nAppend=old\n[Other]\nkeep=me\n";
    const std::string fresh = "; by hand\n[NAME]\nAppend=new\n[Other]\nkeep=me\n";
    const std::string path = temp / "tmk.ini";
    for (const int error : {EIO, ENOSPC, EACCES}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(Named("call ", n) + Named(" fails with ", error));
            temp.File("tmk.ini", old);
            std::string atFault;
            bool saved = false;
            bool fired = false;
            int syncs = 0;
            {
                FaultInjection faults({{.kind = FsCallKind::Any, .failAt = n, .error = error}},
                                      [&] { atFault = temp.Read("tmk.ini"); });
                saved = WriteProfileString("NAME", "Append", "new", path);
                fired = faults.Fired();
                syncs = faults.Calls(FsCallKind::Sync);
            }
            EXPECT_EQ(temp.Names(), std::vector<std::string>{"tmk.ini"});
            if (!fired) {
                EXPECT_TRUE(saved);
                EXPECT_EQ(temp.Read("tmk.ini"), fresh);
                EXPECT_EQ(syncs, 2) << "the new file, then its folder";
                break;
            }
            EXPECT_TRUE(atFault == old || atFault == fresh) << atFault;
            EXPECT_EQ(temp.Read("tmk.ini"), saved ? fresh : old);
        }
    }
}

}  // namespace
}  // namespace tidemark::settings
