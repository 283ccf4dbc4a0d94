#include "rename/rename_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "platform/text.h"

namespace tidemark::rename {
namespace {

using O = RenameOptions;
const auto Del = [](int pos, int num) { return O{.DoDelete = true, .DelPos = pos, .DelNum = num}; };
const auto CropL = [](int n) { return O{.DoLCrop = true, .LCrop = n}; };
const auto CropR = [](int n) { return O{.DoRCrop = true, .RCrop = n}; };
const auto Chg = [](std::string to) { return O{.DoChgName = true, .ChgName = to}; };
const auto Ins = [](int pos, std::string text) {
    return O{.DoInsert = true, .InsPos = pos, .Insert = text};
};
const auto Rep = [](std::string from, std::string to, bool matchCase = false) {
    return O{.MatchCase = matchCase, .DoReplace = true, .RepOrig = from, .RepNew = to};
};
const auto CaseTo = [](int mode) { return O{.CaseMode = mode}; };
const auto Pre = [](std::string text) { return O{.DoPrepend = true, .Prepend = text}; };
const auto App = [](std::string text) { return O{.DoAppend = true, .Append = text}; };

// The rules of all parts at once; each part sets only its own rule's fields.
O All(std::initializer_list<O> parts) {
    O all;
    for (const O& p : parts) {
        for (bool O::*f : {&O::MatchCase, &O::DoReplace, &O::DoChgName, &O::DoInsert, &O::DoPrepend,
                           &O::DoAppend, &O::DoDelete, &O::DoLCrop, &O::DoRCrop}) {
            all.*f = all.*f || p.*f;
        }
        for (std::int32_t O::*f :
             {&O::InsPos, &O::DelPos, &O::DelNum, &O::LCrop, &O::RCrop, &O::CaseMode}) {
            all.*f = p.*f != 0 ? p.*f : all.*f;
        }
        for (std::string O::*f :
             {&O::RepOrig, &O::RepNew, &O::ChgName, &O::Insert, &O::Prepend, &O::Append}) {
            all.*f = (p.*f).empty() ? all.*f : p.*f;
        }
    }
    return all;
}

// The name TransformName gives for the text the rules see (the extension on that page).
// ASCII names take a byte-wise path inside ApplyRules; this is the decoded path to compare.
std::string Decoded(RenameRules& rules, PageKind kind, const std::string& old) {
    std::size_t start = 0;
    if (kind == PageKind::Extensions) {
        const std::size_t dot = old.rfind('.');
        start = dot == std::string::npos ? 0 : dot + 1;
    }
    std::u32string text = platform::DecodeUtf8(old.substr(start));
    rules.TransformName(text);
    return old.substr(0, start) + platform::EncodeUtf8(text);
}

struct Case {
    std::string oldName;
    RenameOptions options;
    std::string newName;
};

// Each case goes through ApplyRules and, for a record the page accepts, the decoded path.
void Check(PageKind kind, const std::vector<Case>& cases, bool isFile = true) {
    for (const Case& c : cases) {
        SCOPED_TRACE("old name \"" + c.oldName + "\"");
        RenameRules rules(kind);
        rules.Options() = c.options;
        std::string name = c.oldName;
        rules.ApplyRules(name, isFile);
        EXPECT_EQ(name, c.newName);
        if (isFile == (kind != PageKind::Folders)) {
            EXPECT_EQ(Decoded(rules, kind, c.oldName), c.newName) << "decoded path";
        }
    }
}

TEST(RenameRulesTest, SingleRules) {
    Check(PageKind::Files,
          {
              {"report.txt", Del(2, 3), "rrt.txt"},
              {"report.txt", Del(4, 10), "rep.txt"},
              {"report.txt", Del(0, 3), "ort.txt"},
              {"report.txt", Del(2, -4), "report.txt"},
              {"report.txt", Del(INT_MIN, INT_MAX), ".txt"},
              {"ÉCOLE été.TXT", Del(7, 2), "ÉCOLE é.TXT"},
              {"a😀b.txt", Del(2, 1), "ab.txt"},
              {"ab.txt", CropL(10), ".txt"},
              {"report.txt", CropR(2), "repo.txt"},
              // Switches off: the numbers do nothing.
              {"report.txt", {.DelPos = 1, .DelNum = 3, .LCrop = 2, .RCrop = 2}, "report.txt"},
              {"a.b.txt", Chg("new"), "new.txt"},
              {"été.TXT", Chg(""), ".TXT"},
              {"Banana.AAA", Rep("A", "x"), "Bxnxnx.AAA"},
              {"Banana.AAA", Rep("A", "x", true), "Banana.xxx"},
              {"aaa.txt", Rep("a", "aa", true), "aaaaaa.txt"},
              {"aaa.txt", Rep("", "b"), "aaa.txt"},
              // Without "Match Case" a match lies in the name part; its end moves per replacement.
              {"ab.txt", Rep("b.t", "_"), "ab.txt"},
              {"ab.txt", Rep("b.t", "_", true), "a_xt"},
              {"aXa.txt", Rep("a", "AAA"), "AAAXAAA.txt"},
              {"aaXaa.aa", Rep("aa", ""), "X.aa"},
              {"😀ab.ab", Rep("AB", "é"), "😀é.ab"},
              // Only A-Z fold: "É" is not found by "é".
              {"ÉCOLE été.TXT", Rep("é", "e"), "ÉCOLE ete.TXT"},
              {"abcdef.txt", Ins(3, "X"), "abXcdef.txt"},
              {"abcdef.txt", Ins(100, "X"), "abcdefX.txt"},
              {"ÉCOLE été.TXT", Ins(7, "_"), "ÉCOLE _été.TXT"},
              {"a.txt", All({Pre("p_"), App("_s")}), "p_a_s.txt"},
              {"README", App(std::string(70, 'y')), "README" + std::string(70, 'y')},
          });
}

TEST(RenameRulesTest, CaseChanges) {
    const RenameOptions lower = CaseTo(kCaseLower), upper = CaseTo(kCaseUpper),
                        caps = CaseTo(kCaseCapsAndLower), initial = CaseTo(kCaseInitialCapital);
    Check(
        PageKind::Files,
        {
            {"ABC.TXT", lower, "abc.TXT"},
            {"abc.txt", upper, "ABC.txt"},
            {"hello big WORLD.TXT", caps, "Hello Big World.txt"},
            {"HELLO WORLD.TXT", initial, "Hello world.txt"},
            {".profile", caps, ".profile"},
            {".PROFILE", initial, ".profile"},
            // A space after the name part ends the capitals; a space at the end changes nothing.
            {"a b.c d", caps, "A B.c d"},
            {"a  b c .x", caps, "A  B C .x"},
            // Long ASCII names, with the letters' neighbours in the character table.
            {"@AZ[`az{@AZ[`az{ @AZ[`az{.X", lower, "@az[`az{@az[`az{ @az[`az{.X"},
            {"@AZ[`az{@AZ[`az{ @AZ[`az{.x", upper, "@AZ[`AZ{@AZ[`AZ{ @AZ[`AZ{.x"},
            {"a b c d e f g h i j k l m n o p.q r s", caps,
             "A B C D E F G H I J K L M N O P.q r s"},
            {"x  yy   zzz    wwww     vvvvv      u.txt", caps,
             "X  Yy   Zzz    Wwww     Vvvvv      U.txt"},
            {"ÉCOLE été.TXT", caps, "École Été.txt"},
            // Capitals are the upper case of the lower-case letter: the Kelvin sign lowers to "k".
            {"\u212Aelvin \u212A.TXT", caps, "Kelvin K.txt"},
            // Deseret letters lie outside the Basic Multilingual Plane.
            {"𐐨𐐩 𐐩.TXT", caps, "𐐀𐐩 𐐁.txt"},
        });
    Check(PageKind::Folders,
          {{"a b.c d", caps, "A B.c D"}, {"ab ", caps, "Ab "}, {"My.FOLDER", lower, "my.folder"}},
          false);
}

TEST(RenameRulesTest, PagesAndRecordKinds) {
    Check(PageKind::Extensions, {
                                    {"photo.JPG", CaseTo(kCaseLower), "photo.jpg"},
                                    {"archive.tar.GZ", Chg("tgz"), "archive.tar.tgz"},
                                    {"name.", App("txt"), "name.txt"},
                                    {".profile", CaseTo(kCaseUpper), ".PROFILE"},
                                    {"a.😀bc", Del(2, 1), "a.😀c"},
                                    {"x.MP3 FILE", CaseTo(kCaseCapsAndLower), "x.Mp3 File"},
                                });
    Check(
        PageKind::Folders,
        {{"My.Folder", CropR(3), "My.Fol"}, {"a.b", App("_x"), "a.b_x"}, {"été 😀", CropL(4), "😀"}},
        false);
    // Each page leaves the other kind of record as it is.
    Check(PageKind::Extensions, {{"My.DIR", CaseTo(kCaseLower), "My.DIR"}}, false);
    Check(PageKind::Folders, {{"a.txt", CropR(3), "a.txt"}}, true);
    Check(PageKind::Files, {{"My.Folder", CropR(3), "My.Folder"}}, false);
}

TEST(RenameRulesTest, RuleOrder) {
    const RenameOptions caps = CaseTo(kCaseCapsAndLower);
    Check(PageKind::Files, {
                               // Delete acts on the old name, change replaces what it left.
                               {"report.txt", All({Del(1, 2), Chg("abcdef")}), "abcdef.txt"},
                               // Replace acts on the changed text.
                               {"report.txt", All({Rep("_", " "), Chg("foo_bar")}), "foo bar.txt"},
                               // The case change applies to appended text.
                               {"Name.TXT", All({App("_END"), CaseTo(kCaseLower)}), "name_end.TXT"},
                               // Insert comes before prepend.
                               {"abc.txt", All({Ins(1, "Y"), Pre("X")}), "XYabc.txt"},
                               // L is measured again by each rule.
                               {"abcdef.txt", All({Del(1, 2), CropL(1), CropR(1)}), "de.txt"},
                               {"aXb.txt", All({Rep("x", "XXX"), Ins(5, "_")}), "aXXX_b.txt"},
                               // A "." brought into a name without one starts an extension for the
                               // later rules; a replace that matches case can remove the last ".".
                               {"README", All({App(".TXT"), CaseTo(kCaseLower)}), "readme.TXT"},
                               {"README", All({Ins(4, "A.B"), App("_x")}), "REAA_x.BDME"},
                               {"ÉCOLE", All({Chg("é.b"), App("!")}), "é!.b"},
                               {"a.b.c", All({Rep(".", "_", true), App("X"), Del(1, 0)}), "a_b_cX"},
                               {"a.b", All({Rep("b", "c.d", true), Pre("é"), App("X")}), "éa.cX.d"},
                               {"hello there world.TXT",
                                All({Rep("O", "0"), Chg("one two"), Ins(4, "-"), Pre("a "),
                                     App(" z"), Del(2, 1), CropL(1), CropR(1), caps}),
                                "A 0ne- Tw0 Z.txt"},
                               {"ÉCOLE été.TXT",
                                All({Rep("L", "ł"), Ins(3, "😀"), Pre("x "), App(" ö"), Del(2, 1),
                                     CropL(1), CropR(1), caps}),
                                "X Oł😀e Ét Ö.txt"},
                           });
}

// Invalid bytes count one character each and pass through every rule unchanged.
TEST(RenameRulesTest, InvalidBytes) {
    Check(PageKind::Files, {
                               {"m\xFF\xFEn.txt", Del(2, 1), "m\xFEn.txt"},
                               {"m\xFFn.txt", Rep("\xFF", "_", true), "m_n.txt"},
                               {"M\xFFN.TXT", CaseTo(kCaseLower), "m\xFFn.TXT"},
                               // Overlong, surrogate, past U+10FFFF, truncated, stray continuation.
                               {"\xC0\x80z.txt", Del(2, 1), "\xC0z.txt"},
                               {"\xED\xA0\x80z.txt", Del(3, 1), "\xED\xA0z.txt"},
                               {"\xF4\x90\x80\x80.txt", CropL(1), "\x90\x80\x80.txt"},
                               {"\xF0\x9F\x98.txt", CropR(1), "\xF0\x9F.txt"},
                               {"\xE2\x82z.txt", CaseTo(kCaseUpper), "\xE2\x82Z.txt"},
                               {"m\x80\x80n.TXT", CaseTo(kCaseInitialCapital), "M\x80\x80n.txt"},
                               {"é\xA9\xA9x.txt", Ins(3, "-"), "é\xA9-\xA9x.txt"},
                           });
}

// One character is what the user sees as one: a letter with its marks, an emoji with modifier or
// joined emoji, a flag, a jamo Hangul syllable, CR LF. No rule splits one; a search finds whole.
TEST(RenameRulesTest, UserPerceivedCharacters) {
    const std::string e = "e\u0301", woman = "\U0001F469\u200D\U0001F4BB";
    Check(
        PageKind::Files,
        {
            {"caf" + e + "s.txt", Del(4, 1), "cafs.txt"},
            {e + "t" + e + ".txt", CropL(1), "t" + e + ".txt"},
            {e + "a.txt", Ins(2, "-"), e + "-a.txt"},
            {e + e + e + ".txt", CropR(2), e + ".txt"},
            {woman + "a.txt", Del(2, 1), woman + ".txt"},
            {"a" + woman + ".txt", Ins(3, "!"), "a" + woman + "!.txt"},
            {"\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7.txt", CropR(1), "\U0001F1E9\U0001F1EA.txt"},
            {"\u1100\u1161\u11A8b.txt", Del(1, 1), "b.txt"},  // a Hangul syllable in three jamo
            {"a\r\nb.txt", Del(2, 1), "ab.txt"},
            // An invalid byte is one character, and a mark after it stands on its own.
            {e + "\xFF\u0301x.txt", Del(2, 1), e + "\u0301x.txt"},
            {"\xFF" + e + "x.TXT", {.DoLCrop = true, .LCrop = 2, .CaseMode = kCaseUpper}, "X.TXT"},
            {"caf" + e + " cafe.txt", Rep("e", "a"), "caf" + e + " cafa.txt"},
            {"caf" + e + " cafe.txt", Rep("e", "a", true), "caf" + e + " cafa.txt"},
            // "\u00DF" has no simple upper case.
            {"stra\u00DFe.txt", CaseTo(kCaseUpper), "STRA\u00DFE.txt"},
        });
    Check(PageKind::Folders, {{e + "t" + e, CropR(1), e + "t"}}, false);
    EXPECT_EQ(RenameRules(PageKind::Files).NamePartLength(U"e\u0301e\u0301.txt"), 2);
    EXPECT_EQ(RenameRules(PageKind::Folders).NamePartLength(U"\U0001F1E9\U0001F1EA\r\n"), 2);
}

// The byte-wise ASCII path (eight-byte case changes) agrees with the decoded path for any options.
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
        for (bool* flag : {&o.MatchCase, &o.DoReplace, &o.DoInsert, &o.DoPrepend, &o.DoAppend,
                           &o.DoDelete, &o.DoLCrop, &o.DoRCrop}) {
            *flag = pick(2) == 0;
        }
        o.DoChgName = pick(4) == 0;
        for (std::int32_t* n : {&o.InsPos, &o.DelPos, &o.DelNum, &o.LCrop, &o.RCrop}) {
            *n = pick(30) - 3;
        }
        o.CaseMode = pick(6);
        o.RepOrig = text(2);
        o.ChgName = text(8);
        for (std::string* s : {&o.RepNew, &o.Insert, &o.Prepend, &o.Append}) {
            *s = text(3);
        }
        const std::string old = text(40);
        std::string name = old;
        rules.ApplyRules(name, kind != PageKind::Folders);
        ASSERT_EQ(name, Decoded(rules, kind, old))
            << "round " << round << ", old name \"" << old << "\"";
    }
}

}  // namespace
}  // namespace tidemark::rename
