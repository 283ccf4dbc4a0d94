#include "cli/undo_commands.h"

#include <cstdio>
#include <ctime>

#include "cli/output.h"
#include "rename/undo.h"

namespace tidemark::cli {
namespace {

std::string UtcTime(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

void JsonField(std::string& out, const char* key, std::string_view value, bool first = false) {
    out += first ? "{\"" : ",\"";
    out += key;
    out += "\":";
    AppendJsonString(out, value);
}

void JsonNumber(std::string& out, const char* key, std::size_t value) {
    out += ",\"";
    out += key;
    out += "\":";
    out += std::to_string(value);
}

}  // namespace

int RunHistory(const Invocation& invocation) {
    const std::vector<rename::BatchSummary> batches = rename::ListBatches();
    OutputBuffer out(stdout);
    std::string& text = out.Text();
    if (invocation.json) {
        text += '[';
    }
    for (std::size_t i = 0; i < batches.size(); ++i) {
        const rename::BatchSummary& b = batches[i];
        const std::string time = b.time != 0 ? UtcTime(b.time) : "";
        const std::string state = rename::BatchStateName(b.state);
        const std::string& folder = b.operation.empty() ? b.path : b.folder;
        if (invocation.json) {
            text += i == 0 ? "\n" : ",\n";
            text += "{\"number\":" + std::to_string(i + 1);
            JsonField(text, "time", time);
            JsonField(text, "operation", b.operation);
            JsonField(text, "folder", folder);
            JsonNumber(text, "steps", b.steps);
            JsonField(text, "state", state);
            text += '}';
        } else {
            WriteTabLine(out, {std::to_string(i + 1), time, b.operation, folder,
                               std::to_string(b.steps), state});
        }
        out.MaybeFlush();
    }
    if (invocation.json) {
        text += "]\n";
    }
    return 0;
}

int RunUndo(const Invocation& invocation) {
    const std::vector<rename::BatchSummary> batches = rename::ListBatches();
    const int index = invocation.batch > 0 ? invocation.batch - 1 : rename::LastUndoable(batches);
    if (index < 0 || index >= static_cast<int>(batches.size())) {
        std::fprintf(stderr, "tidemark-cli: %s\n",
                     invocation.batch > 0 ? "there is no batch of that number in the history"
                                          : "there is no batch to undo");
        return 1;
    }
    const rename::UndoResult result =
        rename::UndoBatch(batches[static_cast<std::size_t>(index)].path, invocation.dryRun);
    if (!result.message.empty()) {
        std::fprintf(stderr, "tidemark-cli: %s\n", result.message.c_str());
    }
    OutputBuffer out(stdout);
    std::string& text = out.Text();
    const std::string folder = result.folders.empty() ? "" : result.folders[0];
    if (invocation.json) {
        text += "{\"batch\":" + std::to_string(index + 1);
        JsonField(text, "operation", result.operation);
        JsonField(text, "folder", folder);
        text += invocation.dryRun ? ",\"dryRun\":true" : ",\"dryRun\":false";
        JsonNumber(text, "undone", result.undone);
        text += ",\"skipped\":[";
        for (std::size_t i = 0; i < result.skipped.size(); ++i) {
            text += i == 0 ? "" : ",";
            AppendJsonString(text, result.skipped[i]);
        }
        text += ']';
        JsonField(text, "error", result.message);
        text += "}\n";
    } else {
        if (result.status != 2) {
            text += invocation.dryRun ? "would undo " : "undid ";
            text += std::to_string(result.undone) + " step" + (result.undone == 1 ? "" : "s") +
                    " of " + result.operation + " in " + folder + "\n";
        }
        for (const std::string& line : result.skipped) {
            text += "not undone: " + line + "\n";
        }
    }
    return result.status == 0 ? 0 : 1;
}

}  // namespace tidemark::cli
