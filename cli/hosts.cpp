#include "cli/hosts.h"

#include <cstdio>

namespace tidemark::cli {
namespace {

void WriteLine(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    if (text.empty() || text.back() != '\n') {
        std::fputc('\n', stream);
    }
    std::fflush(stream);
}

}  // namespace

void ReportMessage(const std::string& text, const std::string& caption) {
    WriteLine(stderr, caption + ": " + text);
}

void CliRenameHost::ShowMessage(const std::string& text, const std::string& caption) {
    ReportMessage(text, caption);
}

void CliRenameHost::Log(const std::string& line) {
    if (log_) {
        WriteLine(stderr, line);
    }
}

void WriteMergeSummary(const std::string& text) {
    WriteLine(stdout, text);
}

void CliFolderOpsHost::ShowMessage(const std::string& text, const std::string& caption) {
    if (caption != folderops::kMergeInfoCaption) {
        ReportMessage(text, caption);
        told_ = true;
    }
}

}  // namespace tidemark::cli
