// Rules and numbering on one name, with options a hand-edited settings file or the command line may
// give. Beyond no crash or UB: valid UTF-8 in, valid UTF-8 out; a record of the other kind stays;
// adding text or changing case keeps all invalid bytes, in order; the extension page keeps the name
// up to its last "."; a number is ASCII, at least as wide as asked; "before" puts it first.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "rename/numbering.h"
#include "rename/rename_rules.h"

namespace {

using namespace tidemark::rename;
using tidemark::platform::DecodeUtf8;
using tidemark::platform::kEscapeBase;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsEscape(char32_t c) {
    return c >= kEscapeBase + 0x80 && c < kEscapeBase + 0x100;
}

bool ValidUtf8(std::string_view text) {
    for (const char32_t c : DecodeUtf8(text)) {
        if (IsEscape(c)) {
            return false;
        }
    }
    return true;
}

std::u32string InvalidBytes(std::string_view text) {
    std::u32string bytes;
    for (const char32_t c : DecodeUtf8(text)) {
        if (IsEscape(c)) {
            bytes += c;
        }
    }
    return bytes;
}

// Mostly small numbers, sometimes anything a settings file could hold.
std::int32_t Number(FuzzedDataProvider& data) {
    return data.ConsumeBool() ? data.ConsumeIntegralInRange<std::int32_t>(-3, 40)
                              : data.ConsumeIntegral<std::int32_t>();
}

void FuzzRules(FuzzedDataProvider& data, const std::string& name) {
    const auto kind = static_cast<PageKind>(data.ConsumeIntegralInRange<int>(0, 2));
    RenameRules rules(kind);
    RenameOptions& o = rules.Options();
    for (bool* flag : {&o.MatchCase, &o.DoReplace, &o.DoChgName, &o.DoInsert, &o.DoPrepend,
                       &o.DoAppend, &o.DoDelete, &o.DoLCrop, &o.DoRCrop}) {
        *flag = data.ConsumeBool();
    }
    for (std::int32_t* number : {&o.InsPos, &o.DelPos, &o.DelNum, &o.LCrop, &o.RCrop}) {
        *number = Number(data);
    }
    o.CaseMode = data.ConsumeIntegralInRange<std::int32_t>(0, 4);
    bool validTexts = true;
    for (std::string* text :
         {&o.RepOrig, &o.RepNew, &o.ChgName, &o.Insert, &o.Prepend, &o.Append}) {
        *text = data.ConsumeRandomLengthString(16);
        validTexts = validTexts && ValidUtf8(*text);
    }
    const bool isFile = data.ConsumeBool();
    std::string result = name;
    rules.ApplyRules(result, isFile);
    if (isFile != (kind != PageKind::Folders)) {
        Check(result == name);
        return;
    }
    if (ValidUtf8(name) && validTexts) {
        Check(ValidUtf8(result));
    }
    const bool onlyAdds = !o.DoReplace && !o.DoChgName && !o.DoDelete && !o.DoLCrop && !o.DoRCrop;
    if (onlyAdds && validTexts) {
        Check(InvalidBytes(result) == InvalidBytes(name));
    }
    if (kind == PageKind::Extensions) {
        const std::size_t dot = name.rfind('.');
        const std::size_t kept = dot == std::string::npos ? 0 : dot + 1;
        Check(result.compare(0, kept, name, 0, kept) == 0);
    }
}

void FuzzNumbering(FuzzedDataProvider& data, const std::string& name) {
    Numbering numbering;
    NumberOptions& o = numbering.Options();
    o.Start = data.ConsumeIntegralInRange<std::uint16_t>(0, 10001);
    o.Incr = data.ConsumeIntegralInRange<std::uint16_t>(1, 1000);
    o.Width = data.ConsumeIntegralInRange<std::uint16_t>(0, 10);
    o.Base = data.ConsumeIntegralInRange<std::uint16_t>(kBaseDecimal, kBaseAlphaNumeric);
    o.PosMode = data.ConsumeIntegralInRange<std::uint16_t>(kPosNone, kPosPattern);
    o.Pos = Number(data);
    if (o.PosMode == kPosPattern) {
        numbering.SetPattern(data.ConsumeRandomLengthString(24));
    }
    numbering.SetStartBoxEmpty(data.ConsumeBool() && data.ConsumeBool());
    const std::uint32_t files = data.ConsumeIntegralInRange<std::uint32_t>(1, 40);
    const bool validPattern = ValidUtf8(o.Pattern);
    for (std::uint32_t index = 0; index < files; ++index) {
        const bool isFile = data.ConsumeBool() || index == 0;
        std::string result = name;
        Numbering before = numbering;
        numbering.ApplyNumber(result, index, isFile);
        if (!isFile || numbering.StartBoxEmpty() || o.PosMode == kPosNone) {
            Check(result == name);
            continue;
        }
        const std::string number = before.FormatNumber(index);
        for (const char c : number) {
            Check(static_cast<unsigned char>(c) < 0x80);
        }
        Check(number.size() >= o.Width);
        if (o.PosMode == kPosBefore) {
            Check(result == number + name);
        }
        if (ValidUtf8(name) && validPattern) {
            Check(ValidUtf8(result));
        }
        if (o.PosMode != kPosPattern) {
            Check(InvalidBytes(result) == InvalidBytes(name));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string name = data.ConsumeRandomLengthString(64);
    if (data.ConsumeBool()) {
        FuzzRules(data, name);
    } else {
        FuzzNumbering(data, name);
    }
    return 0;
}
