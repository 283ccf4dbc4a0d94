#pragma once
// Writing rows to standard output: tab-separated lines, or the preview as a JSON array.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "rename/preview.h"

namespace tidemark::cli {

// Collects text and writes it in large blocks, so that a folder of many thousand rows costs a
// few writes; whatever is left is written on destruction.
class OutputBuffer {
  public:
    explicit OutputBuffer(std::FILE* stream) : stream_(stream) {}
    ~OutputBuffer() { Flush(); }
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    std::string& Text() { return text_; }
    // Writes out once enough has gathered.
    void MaybeFlush() {
        if (text_.size() >= kBlock) {
            Flush();
        }
    }
    void Flush();

  private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::FILE* stream_;
    std::string text_;
};

// The texts joined by tabs, then a line end.
void WriteTabLine(OutputBuffer& out, const std::vector<std::string>& texts);

// One "old<TAB>new" line per row.
void WritePreviewLines(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows);

// [{"old":...,"new":...,"isFile":...}, ...], one object per line.
void WritePreviewJson(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows);

// text as a JSON string. Names are bytes: a byte that is not part of valid UTF-8 is written as
// the escape \udcXX (XX its value), as the engine itself carries such bytes.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace tidemark::cli
