#include "cli/output.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/text.h"

namespace tidemark::cli {
namespace {

void AppendHex4(std::string& out, char32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kDigits[(value >> shift) & 0xF];
    }
}

bool IsPlainAscii(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x80 || c == '"' || c == '\\') {
            return false;
        }
    }
    return true;
}

bool IsValidUtf8(std::string_view text) {
    for (const char32_t c : platform::DecodeUtf8(text)) {
        if (c >= platform::kEscapeBase && c < platform::kEscapeBase + 0x100) {
            return false;
        }
    }
    return true;
}

// The first write error, kept until the end so that the exit status can tell it.
int gFirstError = 0;

const char* ClashText(rename::NameClash clash) {
    switch (clash) {
        case rename::NameClash::Invalid:
            return "invalid";
        case rename::NameClash::Existing:
            return "existing";
        case rename::NameClash::Duplicate:
            return "duplicate";
        case rename::NameClash::None:
            break;
    }
    return nullptr;
}

std::string CountOf(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + (count == 1 ? one : many);
}

}  // namespace

void OutputBuffer::Flush() {
    bool ok = true;
    if (!text_.empty()) {
        ok = std::fwrite(text_.data(), 1, text_.size(), stream_) == text_.size();
        text_.clear();
    }
    ok = std::fflush(stream_) == 0 && ok;
    if (!ok && gFirstError == 0) {
        gFirstError = errno != 0 ? errno : EIO;
    }
}

int FinishOutput(std::FILE* stream) {
    if (std::fflush(stream) != 0 && gFirstError == 0) {
        gFirstError = errno != 0 ? errno : EIO;
    }
    if (std::ferror(stream) && gFirstError == 0) {
        gFirstError = EIO;
    }
    return gFirstError;
}

void WriteTabLine(OutputBuffer& out, const std::vector<std::string>& texts, bool null) {
    std::string& text = out.Text();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0 && !null) {
            text += '\t';
        }
        text += texts[i];
        if (null) {
            text += '\0';
        }
    }
    if (!null) {
        text += '\n';
    }
    out.MaybeFlush();
}

void WritePreviewLines(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows, bool null) {
    std::vector<std::string> fields(2);
    for (const rename::PreviewRow& row : rows) {
        fields[0] = row.oldName;
        fields[1] = row.newName;
        WriteTabLine(out, fields, null);
    }
}

std::string Base64(std::string_view text) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < text.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, text.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            group = group << 8 | (j < n ? static_cast<unsigned char>(text[i + j]) : 0u);
        }
        for (std::size_t j = 0; j < 4; ++j) {
            out += j <= n ? kDigits[(group >> (18 - 6 * j)) & 0x3F] : '=';
        }
    }
    return out;
}

void WritePreviewJson(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows) {
    out.Text() += '[';
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string& text = out.Text();
        text += i == 0 ? "\n" : ",\n";
        text += "{\"old\":";
        AppendJsonString(text, rows[i].oldName);
        text += ",\"new\":";
        AppendJsonString(text, rows[i].newName);
        text += ",\"isFile\":";
        text += rows[i].isFile ? "true" : "false";
        if (const char* clash = ClashText(rows[i].clash)) {
            text += ",\"clash\":\"";
            text += clash;
            text += '"';
        }
        // The escapes above keep each stray byte, but few JSON readers give it back as a byte.
        if (!IsValidUtf8(rows[i].oldName)) {
            text += ",\"oldBase64\":\"" + Base64(rows[i].oldName) + "\"";
        }
        if (!IsValidUtf8(rows[i].newName)) {
            text += ",\"newBase64\":\"" + Base64(rows[i].newName) + "\"";
        }
        text += '}';
        out.MaybeFlush();
    }
    out.Text() += rows.empty() ? "]\n" : "\n]\n";
}

void WriteClashSummary(const std::vector<rename::PreviewRow>& rows) {
    std::size_t colliding = 0;
    std::size_t invalid = 0;
    for (const rename::PreviewRow& row : rows) {
        colliding +=
            row.clash == rename::NameClash::Existing || row.clash == rename::NameClash::Duplicate;
        invalid += row.clash == rename::NameClash::Invalid;
    }
    std::string line = "tidemark-cli: ";
    if (colliding > 0) {
        line += CountOf(colliding, " name collides", " names collide");
    }
    if (invalid > 0) {
        line += colliding > 0 ? ", " : "";
        line += CountOf(invalid, " name cannot be a file name", " names cannot be file names");
    }
    line += "; rename would refuse this batch\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    if (IsPlainAscii(text)) {
        out += text;
        out += '"';
        return;
    }
    for (const char32_t c : platform::DecodeUtf8(text)) {
        if (c == U'"' || c == U'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == U'\n') {
            out += "\\n";
        } else if (c == U'\t') {
            out += "\\t";
        } else if (c == U'\r') {
            out += "\\r";
        } else if (c < 0x20 || (c >= platform::kEscapeBase && c < platform::kEscapeBase + 0x100)) {
            AppendHex4(out, c);
        } else {
            platform::AppendUtf8(out, c);
        }
    }
    out += '"';
}

}  // namespace tidemark::cli
