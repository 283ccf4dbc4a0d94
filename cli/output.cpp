#include "cli/output.h"

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

}  // namespace

void OutputBuffer::Flush() {
    if (!text_.empty()) {
        std::fwrite(text_.data(), 1, text_.size(), stream_);
        text_.clear();
    }
    std::fflush(stream_);
}

void WriteTabLine(OutputBuffer& out, const std::vector<std::string>& texts) {
    std::string& text = out.Text();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            text += '\t';
        }
        text += texts[i];
    }
    text += '\n';
    out.MaybeFlush();
}

void WritePreviewLines(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows) {
    for (const rename::PreviewRow& row : rows) {
        std::string& text = out.Text();
        text += row.oldName;
        text += '\t';
        text += row.newName;
        text += '\n';
        out.MaybeFlush();
    }
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
        text += '}';
        out.MaybeFlush();
    }
    out.Text() += rows.empty() ? "]\n" : "\n]\n";
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
