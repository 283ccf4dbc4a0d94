#pragma once

#include <cstdint>
#include <string>

namespace tidemark::rename {

// Case change of rule 9; any other value changes nothing.
inline constexpr std::int32_t kCaseNone = 0;
inline constexpr std::int32_t kCaseLower = 1;
inline constexpr std::int32_t kCaseUpper = 2;
inline constexpr std::int32_t kCaseCapsAndLower = 3;
inline constexpr std::int32_t kCaseInitialCapital = 4;

// The options of one rename page. A value-initialised record is the cleared record. Every
// field has an initializer, so designated initializers may name only the fields they set.
struct RenameOptions {
    bool SelOnly = false;
    bool MatchCase = false;
    bool DoReplace = false;
    bool DoChgName = false;
    bool DoInsert = false;
    bool DoPrepend = false;
    bool DoAppend = false;
    bool DoDelete = false;
    bool DoLCrop = false;
    bool DoRCrop = false;
    std::int32_t InsPos = 0;
    std::int32_t DelPos = 0;
    std::int32_t DelNum = 0;
    std::int32_t LCrop = 0;
    std::int32_t RCrop = 0;
    std::int32_t CaseMode = kCaseNone;
    std::string RepOrig{};
    std::string RepNew{};
    std::string ChgName{};
    std::string Insert{};
    std::string Prepend{};
    std::string Append{};

    // After a rename the eight rule switches go off; numbers, texts, SelOnly, MatchCase and
    // CaseMode stay.
    void ClearRuleSwitches() {
        DoReplace = DoChgName = DoInsert = DoPrepend = DoAppend = false;
        DoDelete = DoLCrop = DoRCrop = false;
    }

    bool operator==(const RenameOptions&) const = default;
};

}  // namespace tidemark::rename
