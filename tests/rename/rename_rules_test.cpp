#include "rename/rename_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "platform/text.h"

namespace tidemark::rename {
namespace {

struct Case {
    std::string oldName;
    RenameOptions options;
    std::string newName;
};

// Runs each case through ApplyRules and, for a record the page accepts, also through
// TransformName on the decoded text the rules see: ASCII names take a byte-wise path inside
// ApplyRules, so this keeps both paths giving the same names.
void Check(PageKind kind, const std::vector<Case>& cases, bool isFile = true) {
    for (const Case& c : cases) {
        SCOPED_TRACE("old name \"" + c.oldName + "\"");
        RenameRules rules(kind);
        rules.Options() = c.options;
        std::string name = c.oldName;
        rules.ApplyRules(name, isFile);
        EXPECT_EQ(name, c.newName);

        if (isFile == (kind != PageKind::Folders)) {
            std::size_t start = 0;
            if (kind == PageKind::Extensions) {
                const std::size_t dot = c.oldName.rfind('.');
                start = dot == std::string::npos ? 0 : dot + 1;
            }
            std::u32string text = platform::DecodeUtf8(c.oldName.substr(start));
            rules.TransformName(text);
            EXPECT_EQ(c.oldName.substr(0, start) + platform::EncodeUtf8(text), c.newName)
                << "decoded path";
        }
    }
}

TEST(RenameRulesTest, DeletesAndCrops) {
    Check(
        PageKind::Files,
        {
            {"report.txt", {.DoDelete = true, .DelPos = 2, .DelNum = 3}, "rrt.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = 4, .DelNum = 10}, "rep.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = 9, .DelNum = 2}, "report.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = 0, .DelNum = 3}, "ort.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = 2, .DelNum = 0}, "report.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = 2, .DelNum = -4}, "report.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = INT_MAX, .DelNum = INT_MAX}, "report.txt"},
            {"report.txt", {.DoDelete = true, .DelPos = INT_MIN, .DelNum = INT_MAX}, ".txt"},
            {"ÉCOLE été.TXT", {.DoDelete = true, .DelPos = 7, .DelNum = 2}, "ÉCOLE é.TXT"},
            {"a😀b.txt", {.DoDelete = true, .DelPos = 2, .DelNum = 1}, "ab.txt"},
            {"a😀b.txt", {.DoDelete = true, .DelPos = 3, .DelNum = 5}, "a😀.txt"},
            {"ab.txt", {.DoLCrop = true, .LCrop = 10}, ".txt"},
            {"ab.txt", {.DoLCrop = true, .LCrop = -3}, "ab.txt"},
            {"ab.txt", {.DoLCrop = true, .LCrop = INT_MAX}, ".txt"},
            {"ÉCOLE été.TXT", {.DoLCrop = true, .LCrop = 6}, "été.TXT"},
            {"😀😀x.txt", {.DoLCrop = true, .LCrop = 1}, "😀x.txt"},
            {"report.txt", {.DoRCrop = true, .RCrop = 2}, "repo.txt"},
            {"report.txt", {.DoRCrop = true, .RCrop = 50}, ".txt"},
            {"report.txt", {.DoRCrop = true, .RCrop = 6}, ".txt"},
            {"report.txt", {.DoRCrop = true, .RCrop = INT_MIN}, "report.txt"},
            {"ÉCOLE été.TXT", {.DoRCrop = true, .RCrop = 2}, "ÉCOLE é.TXT"},
            {"x😀😀.txt", {.DoRCrop = true, .RCrop = 1}, "x😀.txt"},
            // Switches off: the numbers do nothing.
            {"report.txt", {.DelPos = 1, .DelNum = 3, .LCrop = 2, .RCrop = 2}, "report.txt"},
            // Invalid bytes count one character each and survive unchanged.
            {"a\xFF\xFE"
             "b.txt",
             {.DoDelete = true, .DelPos = 2, .DelNum = 1},
             "a\xFE"
             "b.txt"},
            {"x\xC3(.txt", {.DoDelete = true, .DelPos = 3, .DelNum = 1}, "x\xC3.txt"},
        });
}

TEST(RenameRulesTest, ChangeAndReplace) {
    Check(
        PageKind::Files,
        {
            {"a.b.txt", {.DoChgName = true, .ChgName = "new"}, "new.txt"},
            {"README", {.DoChgName = true, .ChgName = "new"}, "new"},
            {"été.TXT", {.DoChgName = true, .ChgName = ""}, ".TXT"},
            {"😀.txt", {.DoChgName = true, .ChgName = "ñ"}, "ñ.txt"},
            {"Banana.AAA", {.DoReplace = true, .RepOrig = "A", .RepNew = "x"}, "Bxnxnx.AAA"},
            {"Banana.AAA",
             {.MatchCase = true, .DoReplace = true, .RepOrig = "A", .RepNew = "x"},
             "Banana.xxx"},
            {"aaa.txt", {.DoReplace = true, .RepOrig = "a", .RepNew = "aa"}, "aaaaaa.txt"},
            {"aaa.txt",
             {.MatchCase = true, .DoReplace = true, .RepOrig = "a", .RepNew = "aa"},
             "aaaaaa.txt"},
            {"aaaa.txt", {.DoReplace = true, .RepOrig = "aa", .RepNew = "b"}, "bb.txt"},
            {"aaa.txt", {.DoReplace = true, .RepOrig = "", .RepNew = "b"}, "aaa.txt"},
            {"ZzZ_z.txt", {.DoReplace = true, .RepOrig = "z", .RepNew = "y"}, "yyy_y.txt"},
            {"AaA.txt", {.DoReplace = true, .RepOrig = "a", .RepNew = "x"}, "xxx.txt"},
            {"a_B_b.txt", {.DoReplace = true, .RepOrig = "_b", .RepNew = "-"}, "a--.txt"},
            // Without "Match Case" an occurrence must lie inside the name part, whose end
            // moves with each replacement.
            {"ab.txt", {.DoReplace = true, .RepOrig = "b.t", .RepNew = "_"}, "ab.txt"},
            {"ab.txt",
             {.MatchCase = true, .DoReplace = true, .RepOrig = "b.t", .RepNew = "_"},
             "a_xt"},
            {"aXa.txt", {.DoReplace = true, .RepOrig = "a", .RepNew = "AAA"}, "AAAXAAA.txt"},
            {"aaXaa.aa", {.DoReplace = true, .RepOrig = "aa", .RepNew = ""}, "X.aa"},
            {"😀ab.ab", {.DoReplace = true, .RepOrig = "AB", .RepNew = "é"}, "😀é.ab"},
            // Only A-Z fold: "É" is not found by "é".
            {"ÉCOLE été.TXT", {.DoReplace = true, .RepOrig = "é", .RepNew = "e"}, "ÉCOLE ete.TXT"},
            {"ÉCOLE été.TXT",
             {.DoReplace = true, .RepOrig = "école", .RepNew = "x"},
             "ÉCOLE été.TXT"},
            {"ÉCOLE été.TXT", {.DoReplace = true, .RepOrig = "cole", .RepNew = "x"}, "Éx été.TXT"},
            {"a\xFF"
             "b.txt",
             {.MatchCase = true, .DoReplace = true, .RepOrig = "\xFF", .RepNew = "_"},
             "a_b.txt"},
        });
}

TEST(RenameRulesTest, InsertsPrependAppend) {
    Check(PageKind::Files,
          {
              {"abcdef.txt", {.DoInsert = true, .InsPos = 3, .Insert = "X"}, "abXcdef.txt"},
              {"abcdef.txt", {.DoInsert = true, .InsPos = 7, .Insert = "X"}, "abcdefX.txt"},
              {"abcdef.txt", {.DoInsert = true, .InsPos = 100, .Insert = "X"}, "abcdefX.txt"},
              {"abcdef.txt", {.DoInsert = true, .InsPos = 0, .Insert = "X"}, "Xabcdef.txt"},
              {"abcdef.txt", {.DoInsert = true, .InsPos = INT_MIN, .Insert = "X"}, "Xabcdef.txt"},
              {"abcdef.txt", {.DoInsert = true, .InsPos = INT_MAX, .Insert = "X"}, "abcdefX.txt"},
              {"ÉCOLE été.TXT", {.DoInsert = true, .InsPos = 7, .Insert = "_"}, "ÉCOLE _été.TXT"},
              {"a😀b.txt", {.DoInsert = true, .InsPos = 3, .Insert = "-"}, "a😀-b.txt"},
              {"abc.txt", {.DoInsert = true, .InsPos = 2, .Insert = "ü"}, "aübc.txt"},
              {"a.txt",
               {.DoPrepend = true, .DoAppend = true, .Prepend = "p_", .Append = "_s"},
               "p_a_s.txt"},
              {".profile", {.DoPrepend = true, .Prepend = "x"}, "x.profile"},
              {".profile", {.DoAppend = true, .Append = "y"}, "y.profile"},
              {"README", {.DoAppend = true, .Append = "_1"}, "README_1"},
              {"été.TXT", {.DoAppend = true, .Append = "😀"}, "été😀.TXT"},
              {"😀.txt", {.DoPrepend = true, .Prepend = "é"}, "é😀.txt"},
          });
}

TEST(RenameRulesTest, CaseChanges) {
    const RenameOptions lower{.CaseMode = kCaseLower};
    const RenameOptions upper{.CaseMode = kCaseUpper};
    const RenameOptions caps{.CaseMode = kCaseCapsAndLower};
    const RenameOptions initial{.CaseMode = kCaseInitialCapital};
    Check(PageKind::Files,
          {
              {"ABC.TXT", lower, "abc.TXT"},
              {"abc.txt", upper, "ABC.txt"},
              {"hello big WORLD.TXT", caps, "Hello Big World.txt"},
              {"hello_world.txt", caps, "Hello_world.txt"},
              {"HELLO WORLD.TXT", initial, "Hello world.txt"},
              {".profile", caps, ".profile"},
              {".PROFILE", caps, ".PROFILE"},
              {".PROFILE", initial, ".profile"},
              {"A.TXT", caps, "A.txt"},
              {"A.TXT", initial, "A.txt"},
              {"A.TXT", {.CaseMode = 7}, "A.TXT"},
              {"A.TXT", {.CaseMode = -1}, "A.TXT"},
              {"A.TXT", {}, "A.TXT"},
              // A space after the name part ends the capitals; a space at the end
              // changes nothing.
              {"a b.c d", caps, "A B.c d"},
              {"a  b c .x", caps, "A  B C .x"},
              // Long ASCII names, with the letters' neighbours in the character table.
              {"@AZ[`az{@AZ[`az{ @AZ[`az{.X", lower, "@az[`az{@az[`az{ @az[`az{.X"},
              {"@AZ[`az{@AZ[`az{ @AZ[`az{.x", upper, "@AZ[`AZ{@AZ[`AZ{ @AZ[`AZ{.x"},
              {"a b c d e f g h i j k l m n o p.q r s", caps,
               "A B C D E F G H I J K L M N O P.q r s"},
              {"x  yy   zzz    wwww     vvvvv      u.txt", caps,
               "X  Yy   Zzz    Wwww     Vvvvv      U.txt"},
              {"ab!cd!ef gh!ij.txt", caps, "Ab!cd!ef Gh!ij.txt"},
              {"ÉCOLE été.TXT", lower, "école été.TXT"},
              {"ÉCOLE été.TXT", upper, "ÉCOLE ÉTÉ.TXT"},
              {"ÉCOLE été.TXT", caps, "École Été.txt"},
              {"ÉCOLE été.TXT", initial, "École été.txt"},
              {"ÉA.ÉA", lower, "éa.ÉA"},
              {"привет мир.txt", upper, "ПРИВЕТ МИР.txt"},
              // Capitals are the upper case of the lower-case letter: the Kelvin sign lowers to
              // "k", which raises to "K".
              {"\u212Aelvin \u212A.TXT", caps, "Kelvin K.txt"},
              {"\u212Aelvin.TXT", initial, "Kelvin.txt"},
              // Deseret letters lie outside the Basic Multilingual Plane.
              {"𐐀𐐁 X.TXT", lower, "𐐨𐐩 x.TXT"},
              {"𐐨b.𐐨", upper, "𐐀B.𐐨"},
              {"𐐨𐐩 𐐩.TXT", caps, "𐐀𐐩 𐐁.txt"},
              {"A\xFF"
               "B.TXT",
               lower,
               "a\xFF"
               "b.TXT"},
          });
    Check(PageKind::Folders,
          {
              {"a b.c d", caps, "A B.c D"},
              {"ab ", caps, "Ab "},
              {"My.FOLDER", lower, "my.folder"},
          },
          false);
}

TEST(RenameRulesTest, ExtensionPage) {
    Check(PageKind::Extensions,
          {
              {"photo.JPG", {.CaseMode = kCaseLower}, "photo.jpg"},
              {"archive.tar.GZ", {.DoChgName = true, .ChgName = "tgz"}, "archive.tar.tgz"},
              {"name.", {.DoAppend = true, .Append = "txt"}, "name.txt"},
              {"README", {.DoChgName = true, .ChgName = "txt"}, "txt"},
              {".profile", {.CaseMode = kCaseUpper}, ".PROFILE"},
              {"été.jpg", {.CaseMode = kCaseUpper}, "été.JPG"},
              {"photo.jpé", {.CaseMode = kCaseUpper}, "photo.JPÉ"},
              {"a.😀bc", {.DoDelete = true, .DelPos = 2, .DelNum = 1}, "a.😀c"},
              {"x.MP3 FILE", {.CaseMode = kCaseCapsAndLower}, "x.Mp3 File"},
              {"a.b.txt", {.DoInsert = true, .InsPos = 100, .Insert = "1"}, "a.b.txt1"},
              {"a.TXT", {.DoRCrop = true, .RCrop = 1}, "a.TX"},
          });
    // Folders are not touched by the extension page.
    Check(PageKind::Extensions, {{"My.DIR", {.CaseMode = kCaseLower}, "My.DIR"}}, false);
}

TEST(RenameRulesTest, FolderPageAndRecordKinds) {
    Check(PageKind::Folders,
          {
              {"My.Folder", {.DoRCrop = true, .RCrop = 3}, "My.Fol"},
              {"a.b", {.DoAppend = true, .Append = "_x"}, "a.b_x"},
              {"été 😀", {.DoLCrop = true, .LCrop = 4}, "😀"},
          },
          false);
    // A file on the folder page and a folder on the files page keep their names.
    Check(PageKind::Folders, {{"a.txt", {.DoRCrop = true, .RCrop = 3}, "a.txt"}}, true);
    Check(PageKind::Files, {{"My.Folder", {.DoRCrop = true, .RCrop = 3}, "My.Folder"}}, false);
}

TEST(RenameRulesTest, RuleOrder) {
    // clang-format off
    Check(PageKind::Files, {
        // Delete acts on the old name, change replaces what it left.
        {"report.txt", {.DoChgName = true, .DoDelete = true, .DelPos = 1, .DelNum = 2,
                        .ChgName = "abcdef"}, "abcdef.txt"},
        // Replace acts on the changed text.
        {"report.txt", {.DoReplace = true, .DoChgName = true, .RepOrig = "_", .RepNew = " ",
                        .ChgName = "foo_bar"}, "foo bar.txt"},
        // The case change applies to appended text.
        {"Name.TXT", {.DoAppend = true, .CaseMode = kCaseLower, .Append = "_END"}, "name_end.TXT"},
        {"my file.txt", {.DoAppend = true, .CaseMode = kCaseCapsAndLower, .Append = " ende"},
         "My File Ende.txt"},
        // Insert comes before prepend.
        {"abc.txt", {.DoInsert = true, .DoPrepend = true, .InsPos = 1, .Insert = "Y",
                     .Prepend = "X"}, "XYabc.txt"},
        // L is measured again by each rule.
        {"abcdef.txt", {.DoDelete = true, .DoLCrop = true, .DoRCrop = true, .DelPos = 1,
                        .DelNum = 2, .LCrop = 1, .RCrop = 1}, "de.txt"},
        {"aXb.txt", {.DoReplace = true, .DoInsert = true, .InsPos = 5, .RepOrig = "x",
                     .RepNew = "XXX", .Insert = "_"}, "aXXX_b.txt"},
        {"é.txt", {.DoChgName = true, .DoAppend = true, .ChgName = "😀😀", .Append = "é"},
         "😀😀é.txt"},
        // A "." brought into a name without one starts an extension for the later rules; a
        // replace that matches case can remove the last ".".
        {"README", {.DoAppend = true, .CaseMode = kCaseLower, .Append = ".TXT"}, "readme.TXT"},
        {"README", {.DoInsert = true, .DoAppend = true, .InsPos = 4, .Insert = "A.B",
                    .Append = "_x"}, "REAA_x.BDME"},
        {"ÉCOLE", {.DoChgName = true, .DoAppend = true, .ChgName = "é.b", .Append = "!"}, "é!.b"},
        {"a.b.c", {.MatchCase = true, .DoReplace = true, .DoAppend = true, .DoDelete = true,
                   .DelPos = 1, .DelNum = 0, .RepOrig = ".", .RepNew = "_", .Append = "X"},
         "a_b_cX"},
        {"a.b", {.MatchCase = true, .DoReplace = true, .DoPrepend = true, .DoAppend = true,
                 .RepOrig = "b", .RepNew = "c.d", .Prepend = "é", .Append = "X"}, "éa.cX.d"},
        // Every rule at once, on an ASCII and on a non-ASCII name.
        {"hello there world.TXT",
         {.DoReplace = true, .DoChgName = true, .DoInsert = true, .DoPrepend = true,
          .DoAppend = true, .DoDelete = true, .DoLCrop = true, .DoRCrop = true, .InsPos = 4,
          .DelPos = 2, .DelNum = 1, .LCrop = 1, .RCrop = 1, .CaseMode = kCaseCapsAndLower,
          .RepOrig = "O", .RepNew = "0", .ChgName = "one two", .Insert = "-", .Prepend = "a ",
          .Append = " z"},
         "A 0ne- Tw0 Z.txt"},
        {"ÉCOLE été.TXT",
         {.DoReplace = true, .DoInsert = true, .DoPrepend = true, .DoAppend = true,
          .DoDelete = true, .DoLCrop = true, .DoRCrop = true, .InsPos = 3, .DelPos = 2,
          .DelNum = 1, .LCrop = 1, .RCrop = 1, .CaseMode = kCaseCapsAndLower, .RepOrig = "L",
          .RepNew = "ł", .Insert = "😀", .Prepend = "x ", .Append = " ö"},
         "X Oł😀e Ét Ö.txt"},
    });
    // clang-format on
}

TEST(RenameRulesTest, InvalidBytesCountOneEachAndStayUnchanged) {
    Check(PageKind::Files,
          {
              // Overlong form, surrogate, value past Unicode, truncated sequences, stray
              // continuation bytes.
              {"\xC0\x80z.txt", {.DoDelete = true, .DelPos = 2, .DelNum = 1}, "\xC0z.txt"},
              {"\xED\xA0\x80z.txt", {.DoDelete = true, .DelPos = 3, .DelNum = 1}, "\xED\xA0z.txt"},
              {"\xF4\x90\x80\x80.txt", {.DoLCrop = true, .LCrop = 1}, "\x90\x80\x80.txt"},
              {"\xF0\x9F\x98.txt", {.DoRCrop = true, .RCrop = 1}, "\xF0\x9F.txt"},
              {"\xE2\x82z.txt", {.CaseMode = kCaseUpper}, "\xE2\x82Z.txt"},
              {"a\x80\x80"
               "b.TXT",
               {.CaseMode = kCaseInitialCapital},
               "A\x80\x80"
               "b.txt"},
              {"é\xA9.txt", {.DoDelete = true, .DelPos = 2, .DelNum = 1}, "é.txt"},
              {"é\xA9\xA9x.txt", {.DoInsert = true, .InsPos = 3, .Insert = "-"}, "é\xA9-\xA9x.txt"},
          });
}

// ASCII names take a byte-wise path with eight-byte case changes; the decoded path must give
// the same names for any options.
TEST(RenameRulesTest, AsciiPathAgreesWithDecodedPath) {
    std::mt19937 random(7);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const std::string alphabet = "aAzZ@[`{ ._.-0Mm";
    const auto text = [&](int maxLength) {
        std::string t;
        for (int i = pick(maxLength + 1); i > 0; --i) {
            t += alphabet[static_cast<std::size_t>(pick(static_cast<int>(alphabet.size())))];
        }
        return t;
    };
    for (int round = 0; round < 3000; ++round) {
        const auto kind = static_cast<PageKind>(pick(3));
        RenameRules rules(kind);
        RenameOptions& o = rules.Options();
        o.MatchCase = pick(2) == 0;
        o.DoReplace = pick(2) == 0;
        o.DoChgName = pick(4) == 0;
        o.DoInsert = pick(2) == 0;
        o.DoPrepend = pick(2) == 0;
        o.DoAppend = pick(2) == 0;
        o.DoDelete = pick(2) == 0;
        o.DoLCrop = pick(2) == 0;
        o.DoRCrop = pick(2) == 0;
        o.InsPos = pick(30) - 3;
        o.DelPos = pick(30) - 3;
        o.DelNum = pick(12) - 2;
        o.LCrop = pick(12) - 2;
        o.RCrop = pick(12) - 2;
        o.CaseMode = pick(6);
        o.RepOrig = text(2);
        o.RepNew = text(3);
        o.ChgName = text(8);
        o.Insert = text(3);
        o.Prepend = text(3);
        o.Append = text(3);
        const std::string old = text(40);

        std::string name = old;
        rules.ApplyRules(name, kind != PageKind::Folders);
        std::size_t start = 0;
        if (kind == PageKind::Extensions) {
            const std::size_t dot = old.rfind('.');
            start = dot == std::string::npos ? 0 : dot + 1;
        }
        std::u32string decoded = platform::DecodeUtf8(old.substr(start));
        rules.TransformName(decoded);
        ASSERT_EQ(name, old.substr(0, start) + platform::EncodeUtf8(decoded))
            << "round " << round << ", old name \"" << old << "\"";
    }
}

TEST(RenameRulesTest, NamePartLength) {
    const RenameRules files(PageKind::Files);
    const RenameRules ext(PageKind::Extensions);
    const RenameRules folders(PageKind::Folders);
    EXPECT_EQ(files.NamePartLength(U"report.txt"), 6);
    EXPECT_EQ(files.NamePartLength(U".profile"), 0);
    EXPECT_EQ(files.NamePartLength(U"README"), 6);
    EXPECT_EQ(files.NamePartLength(U"é😀.x"), 2);
    EXPECT_EQ(ext.NamePartLength(U"é😀.x"), 4);
    EXPECT_EQ(folders.NamePartLength(U"é😀.x"), 4);
}

}  // namespace
}  // namespace tidemark::rename
