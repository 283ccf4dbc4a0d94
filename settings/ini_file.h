#pragma once
// Initialisation files ("[section]" lines followed by "key=value" lines) read and written with
// the rules of the classic profile functions: section and key names match without regard to
// case, values lose surrounding blanks and one pair of surrounding quotes, values are cut to the
// reader's limit, and writing changes only the one line it must (or adds the section and key)
// while every other line of the file stays byte for byte as it was.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::settings {

class IniFile {
  public:
    IniFile() = default;

    // The file's lines; a missing or unreadable file gives an empty IniFile.
    static IniFile Load(const std::string& path);
    // Parses text as the content of a file.
    static IniFile FromText(std::string_view text);

    // The value of key in section, or defaultValue when either is missing. The value is cut to
    // maxChars characters (UTF-8 code points; a stray byte counts as one).
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t maxChars) const;
    // The value read as a decimal integer (leading blanks, optional sign, digits up to the first
    // other character; wraps like a 32-bit register). defaultValue when the key is missing or
    // its value is empty; 0 when it holds no digits.
    std::int32_t GetInt(std::string_view section, std::string_view key,
                        std::int32_t defaultValue) const;

    // Sets key in section, adding the section at the end of the file and the key after the
    // section's last line when they are missing. A value that the reader would change (blanks
    // at either end, or one quote character at both ends) is written inside double quotes so
    // that it reads back exactly; anything from a line break on is dropped, since a value is
    // one line.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // The whole file as Save writes it.
    std::string Text() const;

    // Writes the file to a new temporary file beside path and renames that over path, so an
    // interrupted save leaves the old file whole. Creates the missing folder of path. Returns
    // false (and removes the temporary file) when anything fails; path is then untouched.
    bool Save(const std::string& path) const;

  private:
    struct Line {
        std::string text;  // without its line ending
        std::string ending;
    };

    // Index of the first line of the first section named section (its header), or npos.
    std::size_t FindSection(std::string_view section) const;
    // Index of the line holding key in the section whose header is at header, or npos.
    std::size_t FindKey(std::size_t header, std::string_view key) const;
    // One past the section's last line.
    std::size_t SectionEnd(std::size_t header) const;

    std::vector<Line> lines_;
    std::string newLine_ = "\n";  // for added lines: the ending the file already uses
};

// One-shot forms for a single value, reading or rewriting the file at path at once.
std::string ReadProfileString(std::string_view section, std::string_view key,
                              std::string_view defaultValue, std::size_t maxChars,
                              const std::string& path);
std::int32_t ReadProfileInt(std::string_view section, std::string_view key,
                            std::int32_t defaultValue, const std::string& path);
bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& path);

// The first maxChars characters of text (code points, a stray byte counting as one).
std::string CutToChars(std::string_view text, std::size_t maxChars);

}  // namespace tidemark::settings
