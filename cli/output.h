#pragma once
// Writing rows to standard output: tab-separated lines, NUL-terminated fields (for names that
// hold tabs or line ends, as `find -print0` writes them), or the preview as a JSON array.

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

// The texts joined by tabs, then a line end; with null, each text followed by a NUL byte.
void WriteTabLine(OutputBuffer& out, const std::vector<std::string>& texts, bool null = false);

// One "old<TAB>new" line per row; with null, "old<NUL>new<NUL>".
void WritePreviewLines(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows,
                       bool null = false);

// [{"old":...,"new":...,"isFile":...}, ...], one object per line. A row with a clash also
// gets "clash": "invalid", "existing" or "duplicate". A name that is not valid UTF-8 also gets
// "oldBase64" or "newBase64": its exact bytes, for a script to rename by.
void WritePreviewJson(OutputBuffer& out, const std::vector<rename::PreviewRow>& rows);

// One line on standard error counting the rows that collide and those no file system can
// hold, e.g. "tidemark-cli: 3 names collide; rename would refuse this batch".
void WriteClashSummary(const std::vector<rename::PreviewRow>& rows);

// The bytes of text in base64 (RFC 4648, with padding).
std::string Base64(std::string_view text);

// Flushes stream; 0 when everything written to it (through OutputBuffer or not) got there,
// else the error number of the first failure.
int FinishOutput(std::FILE* stream);

// text as a JSON string. Names are bytes: a byte that is not part of valid UTF-8 is written as
// the escape \udcXX (XX its value), as the engine itself carries such bytes.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace tidemark::cli
