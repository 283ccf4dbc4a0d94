#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue/file_catalogue.h"
#include "catalogue/file_record.h"
#include "tests/support/temp_folder.h"

namespace tidemark::catalogue {
namespace {

using testing::TempFolder;

std::vector<std::string> Names(const RecordList& records) {
    std::vector<std::string> names;
    for (const FileRecord& r : records) {
        names.push_back(r.name);
    }
    return names;
}

const FileRecord* Find(const RecordList& records, std::string_view name) {
    const auto it = std::find_if(records.begin(), records.end(),
                                 [&](const FileRecord& r) { return r.name == name; });
    return it == records.end() ? nullptr : &*it;
}

// Folders first, each group in no-case name order ("_" folds before every letter, though bytewise
// it lies between the cases), numbered in that order; dot entries listed and hidden.
TEST(LoadFolder, NumberingExtensionsTypesAndHiddenEntries) {
    TempFolder dir;
    for (const char* folder : {"b", "A", "old.backup", ".cache"}) {
        dir.Folder(folder);
    }
    const std::string longExtension = "a." + std::string(120, 'q');
    for (const char* file : {"z.txt", "Y.TxT", "_x", "README", ".profile", "name.", "a.b.c"}) {
        dir.File(file);
    }
    dir.File(longExtension);
    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    const RecordList& records = catalogue.GetRecords();
    EXPECT_EQ(Names(records),
              (std::vector<std::string>{".cache", "A", "b", "old.backup", ".profile", "_x", "a.b.c",
                                        longExtension, "name.", "README", "Y.TxT", "z.txt"}));
    EXPECT_EQ(catalogue.FolderCount(), 4);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].index, static_cast<std::int32_t>(i)) << records[i].name;
        EXPECT_EQ(records[i].isFile, i >= 4) << records[i].name;
        EXPECT_EQ((records[i].attributes & platform::kAttrHidden) != 0, records[i].name[0] == '.')
            << records[i].name;
    }
    const Order* nameOrder = catalogue.GetOrder(kKeyName);
    ASSERT_NE(nameOrder, nullptr);
    EXPECT_EQ(*nameOrder, (Order{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(catalogue.FolderPath(), dir.Path());

    const struct {
        std::string name, extension, type;
    } expected[] = {
        {"README", "", "File"},
        {"old.backup", ".backup", "File Folder"},
        {".profile", ".profile", "PROFILE File"},
        {"name.", ".", "File"},
        {"a.b.c", ".c", "C File"},
        {"Y.TxT", ".TxT", "TXT File"},
        {".cache", ".cache", "File Folder"},
        // The type text is cut to 79 characters.
        {longExtension, longExtension.substr(1), std::string(79, 'Q')},
    };
    for (const auto& e : expected) {
        const FileRecord* r = Find(records, e.name);
        ASSERT_NE(r, nullptr) << e.name;
        EXPECT_EQ(r->extension, e.extension) << e.name;
        EXPECT_EQ(r->typeName, e.type) << e.name;
    }
}

TEST(ScanFolder, FlagsChooseFilesFoldersAndDotEntries) {
    TempFolder dir;
    dir.Folder("sub");
    dir.File("f.txt");

    const struct {
        unsigned flags;
        std::vector<std::string> folders;
        std::vector<std::string> files;
    } cases[] = {
        {0x1, {}, {"f.txt"}},
        {0x2, {"sub"}, {}},
        {0x3, {"sub"}, {"f.txt"}},
        {0x5, {}, {"f.txt"}},  // 0x4 alone lists no folders at all
        {0x7, {".", "..", "sub"}, {"f.txt"}},
        {0x0, {}, {}},
    };
    for (const auto& c : cases) {
        std::string folder = dir.Path();
        RecordList folders, files;
        ASSERT_EQ(ScanFolder(folder, folders, files, c.flags), kOk);
        std::vector<std::string> folderNames = Names(folders);
        std::sort(folderNames.begin(), folderNames.end());
        EXPECT_EQ(folderNames, c.folders) << "flags " << c.flags;
        EXPECT_EQ(Names(files), c.files) << "flags " << c.flags;
        for (const FileRecord& r : folders) {
            EXPECT_TRUE(r.index == 0 && !r.isFile) << r.name;
        }
    }

    FileCatalogue catalogue;
    ASSERT_EQ(catalogue.LoadFolder(dir.Path(), 0x7), kOk);
    EXPECT_EQ(Names(catalogue.GetRecords()), (std::vector<std::string>{".", "..", "sub", "f.txt"}));
    EXPECT_EQ(catalogue.FolderCount(), 3);
}

TEST(LoadFolder, FolderTextsTrailingSeparatorRootMissingAndEmpty) {
    TempFolder dir;
    dir.File("one");
    dir.Folder("two");
    FileCatalogue plain, slashed;
    std::string withSlash = dir.Path() + "/";
    ASSERT_EQ(plain.LoadFolder(dir.Path()), kOk);
    ASSERT_EQ(slashed.LoadFolder(withSlash, kScanFiles | kScanFolders), kOk);
    EXPECT_EQ(withSlash, dir.Path()) << "the caller's text loses its trailing separator";
    EXPECT_EQ(slashed.FolderPath(), dir.Path());
    EXPECT_EQ(Names(slashed.GetRecords()), (std::vector<std::string>{"two", "one"}));

    // The root stays "/" and lists the root, not the current folder.
    FileCatalogue root;
    ASSERT_EQ(root.LoadFolder(std::string("/")), kOk);
    EXPECT_EQ(root.FolderPath(), "/");
    std::vector<std::string> expected, listed = Names(root.GetRecords());
    for (const auto& entry : std::filesystem::directory_iterator("/")) {
        expected.push_back(entry.path().filename().string());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
    ASSERT_NE(Find(root.GetRecords(), "tmp"), nullptr);
    EXPECT_FALSE(Find(root.GetRecords(), "tmp")->isFile);

    // A folder that cannot be listed gives an empty catalogue and success, dropping the last.
    ASSERT_EQ(plain.LoadFolder(dir / "missing"), kOk);
    EXPECT_TRUE(plain.GetRecords().empty());
    EXPECT_EQ(plain.FolderCount(), 0);
    TempFolder empty;
    ASSERT_EQ(plain.LoadFolder(empty.Path()), kOk);
    EXPECT_TRUE(plain.GetRecords().empty());
    ASSERT_NE(plain.GetOrder(kKeyName), nullptr);
    EXPECT_TRUE(plain.GetOrder(kKeyName)->empty());
}

TEST(FileCatalogue, GetFolderFallsBackToTheCurrentDirectory) {
    FileCatalogue catalogue;
    EXPECT_EQ(catalogue.GetFolder(), std::filesystem::current_path().string());
    catalogue.SetFolder("/some/where");
    EXPECT_EQ(catalogue.GetFolder(), "/some/where");
}

TEST(LoadFolder, SizesAboveFourGibibytesAndTheTypeNamerOfTheCaller) {
    TempFolder dir;
    constexpr std::uint64_t kBig = (5ULL << 30) + 7;  // sparse: no data is written
    dir.SizedFile("big.iso", kBig);
    dir.File("small.txt", "12345");
    dir.Folder("sub");

    std::vector<std::pair<std::string, bool>> asked;
    std::string longType;
    for (int i = 0; i < 100; ++i) {
        longType += "\xc3\xa9";
    }
    FileCatalogue catalogue;
    catalogue.SetTypeNamer([&asked, &longType](std::string_view path, bool isFolder) {
        asked.emplace_back(std::string(path), isFolder);
        // A caller's long text is cut to 79 characters too, never inside a character.
        return TypeInfo{isFolder ? longType : "file", static_cast<std::uint16_t>(isFolder ? 3 : 9)};
    });
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);

    const RecordList& records = catalogue.GetRecords();
    ASSERT_EQ(records.size(), 3U);
    EXPECT_EQ(records[1].size, kBig);
    std::vector<std::string> texts;
    FormatRecord(records[1], texts);
    EXPECT_EQ(texts[2], "5368709127");
    EXPECT_EQ(records[2].size, 5U);
    EXPECT_EQ(records[0].size, 0U) << "folders show size 0";

    EXPECT_EQ(records[0].typeName, longType.substr(0, 2 * 79));
    EXPECT_EQ(records[0].iconIndex, 3);
    EXPECT_EQ(records[2].typeName, "file");
    EXPECT_EQ(records[2].iconIndex, 9);
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, bool>>{
                         {dir / "big.iso", false},
                         {dir / "small.txt", false},
                         {dir / "sub", true},
                     }));
}

TEST(LoadFolder, FailingTypeLookupKeepsTheRecordAndOutOfMemoryEmptiesTheCatalogue) {
    TempFolder dir;
    dir.File("a.txt");
    dir.File("b.txt");

    FileCatalogue catalogue;
    catalogue.SetTypeNamer(
        [](std::string_view, bool) -> TypeInfo { throw std::runtime_error("no type service"); });
    ASSERT_EQ(catalogue.LoadFolder(dir.Path()), kOk);
    ASSERT_EQ(catalogue.RecordCount(), 2);
    EXPECT_EQ(catalogue.GetRecords()[0].typeName, "");
    EXPECT_EQ(catalogue.GetRecords()[0].iconIndex, 0);

    int calls = 0;
    catalogue.SetTypeNamer([&calls](std::string_view path, bool isFolder) {
        if (++calls == 2) {
            throw std::bad_alloc();
        }
        return DefaultTypeNamer(path, isFolder);
    });
    EXPECT_EQ(catalogue.LoadFolder(dir.Path()), kOutOfMemory);
    EXPECT_TRUE(catalogue.GetRecords().empty());
    EXPECT_EQ(catalogue.FolderCount(), 0);
    EXPECT_EQ(catalogue.RowCount(), 0);
}

}  // namespace
}  // namespace tidemark::catalogue
