#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rename/rename_options.h"

namespace tidemark::rename {

// The three rename pages, also their tab and settings index.
enum class PageKind : int { Files = 0, Extensions = 1, Folders = 2 };

// The rule engine of one rename page: its options and the page kind, which decides which
// records change and which part of the name the rules see.
class RenameRules {
  public:
    explicit RenameRules(PageKind kind) : kind_(kind) {}

    PageKind Kind() const { return kind_; }
    RenameOptions& Options() { return options_; }
    const RenameOptions& Options() const { return options_; }

    // The new name of a record's current name; isFile is the record's kind (preview) or the
    // kind the tab works on (execution). Records of the other kind stay unchanged.
    void ApplyRules(std::string& name, bool isFile) const;

    // L of the page kind, in characters, for a decoded text.
    std::int32_t NamePartLength(std::u32string_view text) const;

    // Rules 1 to 9 in their fixed order on a decoded text.
    void TransformName(std::u32string& text) const;

  private:
    PageKind kind_;
    RenameOptions options_;
};

}  // namespace tidemark::rename
