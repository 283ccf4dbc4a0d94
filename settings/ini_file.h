#pragma once
// Initialisation files ("[section]" lines followed by "key=value" lines) read and written with
// the rules of the classic profile functions: section and key names match without regard to
// case, values lose surrounding blanks and one pair of surrounding quotes, values are cut to the
// reader's limit, and writing changes only the one line it must (or adds the section and key)
// while every other line of the file stays byte for byte as it was.
//
// The file's text is kept as one block with an index of its section headers and of the keys
// that a lookup can reach, so that loading is linear in time and memory whatever the file
// holds; changes are kept beside the text and merged in when the text is written out.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::settings {

class IniFile {
  public:
    // What Load found at the path.
    enum class State {
        kRead,        // a regular file, read whole
        kMissing,     // nothing there: a save creates the file
        kUnreadable,  // something that could not be read completely, or is no regular file:
                      // it must never be written over
    };

    IniFile() = default;

    // The file's content; a missing or unreadable file gives an empty IniFile. Only a regular
    // file is read (a folder, FIFO or device is never opened for reading). Never throws.
    static IniFile Load(const std::string& path);
    static IniFile Load(const std::string& path, State& state);
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

    // Writes the file to a new temporary file beside path, syncs it to the disk and renames
    // it over path, so an interrupted save leaves the old file whole. Creates the missing
    // folder of path. Returns false (and removes the temporary file) when anything fails, or
    // when path names something other than a regular file; path is then untouched.
    bool Save(const std::string& path) const;

  private:
    using Offset = std::uint32_t;  // a byte position in text_; larger files are not loaded
    static constexpr Offset kNone = UINT32_MAX;

    // Lines added to one section: an existing one (header is its offset, at is where the
    // lines go) or a new one at the end of the file (header is kNone).
    struct Added {
        Offset header = kNone;
        Offset at = kNone;
        std::string name;                // new sections: the name as first written
        std::vector<std::string> lines;  // without their endings
    };

    explicit IniFile(std::string text);
    void BuildIndex();

    std::string_view LineAt(Offset offset) const;
    // The header offset of the first section named section, or kNone.
    Offset FindSection(std::string_view section) const;
    // The offset of the first line holding key in the section whose header is at header.
    Offset FindKey(Offset header, std::string_view key) const;
    // The header of the section holding the line at offset.
    Offset SectionOf(Offset offset) const;
    // Where lines added to the section at header go: after its last non-blank line.
    Offset InsertionPoint(Offset header) const;
    Added* FindAdded(Offset header, std::string_view name);
    const Added* FindAdded(Offset header, std::string_view name) const;
    // The line of key in added lines, or nullptr.
    static const std::string* FindAddedKey(const Added& added, std::string_view key);
    // Lookups in an open-addressing table of line offsets and hashes: the first
    // offset of the hash's chain that match accepts, or kNone.
    template <typename Match>
    Offset Lookup(std::uint64_t hash, const Match& match) const;
    // Adds offset unless match accepts an entry of the same hash; true when added.
    template <typename Match>
    bool InsertIfNew(std::uint64_t hash, Offset offset, const Match& match);
    std::size_t FreeSlot(std::uint64_t slot) const;
    auto SectionMatch(std::string_view section) const;
    auto KeyMatch(Offset header, std::string_view key) const;

    std::string text_;
    std::string newLine_ = "\n";        // for added lines: the ending the file already uses
    std::vector<Offset> headers_;       // every section header line, in file order
    std::vector<std::uint64_t> slots_;  // first headers of each name and their first keys
    std::size_t used_ = 0;
    std::map<Offset, std::string> replaced_;  // key line offset: its new text
    std::vector<Added> added_;
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
