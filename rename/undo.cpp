#include "rename/undo.h"

#include <optional>
#include <unordered_map>

#include "platform/file_system.h"

namespace tidemark::rename {
namespace {

using platform::FileIdentity;
using platform::Journal;
using platform::JournalStep;
using platform::StepKind;

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool SameFile(const std::optional<FileIdentity>& id, const JournalStep& step) {
    return id && id->inode == step.inode && id->device == step.device;
}

// A reversed step, and what its source must still be just before it runs.
struct Reversal {
    JournalStep step;
    std::optional<FileIdentity> expect;
    bool wholeIdentity = false;  // size and time must match too (a copy to remove)
};

// Decides how step i of the journal is reversed: a reversal, nothing (the step did not happen or
// is undone already), or a line for the skipped list.
std::optional<Reversal> Reverse(const Journal& journal, std::size_t i,
                                std::vector<std::string>& skipped) {
    const JournalStep& step = journal.plan.steps[i];
    const std::string& fromFolder = journal.plan.folders[step.fromFolder];
    const std::string& toFolder = journal.plan.folders[step.toFolder];
    const std::string target = platform::JoinPath(toFolder, step.newName);
    const auto now = platform::IdentifyEntry(toFolder, step.newName);
    const auto before = platform::IdentifyEntry(fromFolder, step.oldName);
    const bool done = journal.done[i];
    const std::optional<FileIdentity>& written = journal.written[i];
    const auto skip = [&](const std::string& why) {
        skipped.push_back(target + ": " + why);
        return std::nullopt;
    };

    Reversal r;
    r.step.fromFolder = step.toFolder;
    r.step.oldName = step.newName;
    r.step.toFolder = step.fromFolder;
    r.step.newName = step.oldName;
    r.step.kind = step.kind;
    if (now) {
        r.step.device = now->device;
        r.step.inode = now->inode;
    }
    r.expect = now;

    if (step.fromFolder == step.toFolder && step.oldName == step.newName) {
        return std::nullopt;  // an entry whose name the batch kept
    }
    switch (step.kind) {
        case StepKind::Rename:
        case StepKind::Move:
            if (!now) {
                if (SameFile(before, step) || !done) {
                    return std::nullopt;
                }
                return skip("gone since the batch; not undone");
            }
            if (!SameFile(now, step)) {
                if (!done && SameFile(before, step)) {
                    return std::nullopt;
                }
                return skip("no longer the file the batch renamed; not undone");
            }
            break;
        case StepKind::CrossMove:
            if (done) {
                if (!now) {
                    if (before) {
                        return std::nullopt;
                    }
                    return skip("gone since the batch; not undone");
                }
                if (written && *now != *written) {
                    return skip("changed since the batch; not undone");
                }
            } else if (before || !now) {
                // Not moved; or copied and killed before its source was deleted, when the copy
                // cannot be told from a file made since.
                if (now && before) {
                    return skip("its source " + step.oldName + " is still there; left in place");
                }
                return std::nullopt;
            }
            break;
        case StepKind::Copy:
            r.step.kind = StepKind::Uncopy;
            r.wholeIdentity = true;
            if (!now) {
                return std::nullopt;
            }
            if (!done || !written) {
                return skip("a copy the batch may not have finished; left in place");
            }
            if (*now != *written) {
                return skip("changed since it was copied; left in place");
            }
            return r;  // the original stays where it was
        case StepKind::Uncopy:
            // The undo of a copy removed fromFolder/oldName; its reversal copies the original
            // (toFolder/newName) there again.
            r.step.kind = StepKind::Copy;
            r.step.fromFolder = step.toFolder;
            r.step.oldName = step.newName;
            r.step.toFolder = step.fromFolder;
            r.step.newName = step.oldName;
            if (before) {
                if (done) {
                    return skip(platform::JoinPath(fromFolder, step.oldName) +
                                " exists again; not copied");
                }
                return std::nullopt;
            }
            r.expect = now;
            if (!now) {
                return skip("the original is gone; the copy cannot be made again");
            }
            r.step.device = now->device;
            r.step.inode = now->inode;
            return r;
    }
    // The same file under both names is a change of letter case on a file system that ignores
    // case; any other file under the old name stays.
    if (before && !(now && before->inode == now->inode && before->device == now->device)) {
        return skip("the old name " + step.oldName + " is taken; not undone");
    }
    return r;
}

// Carries out one reversal after checking that its source is still what was found. 0 or errno.
int Carry(const platform::JournalPlan& plan, const Reversal& r,
          std::optional<FileIdentity>& written) {
    const std::string& fromFolder = plan.folders[r.step.fromFolder];
    const std::string& toFolder = plan.folders[r.step.toFolder];
    const auto source = platform::IdentifyEntry(fromFolder, r.step.oldName);
    if (!source || !r.expect || source->inode != r.expect->inode ||
        source->device != r.expect->device || (r.wholeIdentity && *source != *r.expect)) {
        return ESTALE;
    }
    const std::string from = platform::JoinPath(fromFolder, r.step.oldName);
    const std::string to = platform::JoinPath(toFolder, r.step.newName);
    int error = 0;
    switch (r.step.kind) {
        case StepKind::Uncopy:
            error = platform::DeleteFile(from);
            break;
        case StepKind::Copy:
            error = platform::CopyFileNoReplace(from, to);
            break;
        default:
            error = platform::MoveFileNoReplace(from, to);
            break;
    }
    if (error == 0 && (r.step.kind == StepKind::Copy || r.step.kind == StepKind::CrossMove)) {
        written = platform::IdentifyEntry(toFolder, r.step.newName);
    }
    return error;
}

BatchState StateOf(const std::string& path, std::unordered_map<std::string, BatchState>& known,
                   const std::string& stateFolder, int depth);

BatchState StateOfJournal(const Journal& journal,
                          std::unordered_map<std::string, BatchState>& known,
                          const std::string& stateFolder, int depth) {
    // Undone when its last undo stands: that undo was not undone (redone) in turn.
    if (!journal.undoneBy.empty()) {
        const std::string undo = platform::JoinPath(stateFolder, journal.undoneBy.back());
        if (depth > static_cast<int>(platform::kJournalsKept) ||
            StateOf(undo, known, stateFolder, depth + 1) != BatchState::Undone) {
            return BatchState::Undone;
        }
    }
    return journal.end == platform::BatchEnd::Complete ? BatchState::Complete : BatchState::Stopped;
}

BatchState StateOf(const std::string& path, std::unordered_map<std::string, BatchState>& known,
                   const std::string& stateFolder, int depth) {
    if (const auto it = known.find(path); it != known.end()) {
        return it->second;
    }
    std::string error;
    const auto journal = platform::ReadJournal(path, error);
    // A pruned or unreadable undo journal leaves its batch undone.
    const BatchState state =
        journal ? StateOfJournal(*journal, known, stateFolder, depth) : BatchState::Complete;
    known.emplace(path, state);
    return state;
}

}  // namespace

const char* BatchStateName(BatchState state) {
    switch (state) {
        case BatchState::Complete:
            return "complete";
        case BatchState::Stopped:
            return "stopped";
        case BatchState::Undone:
            return "undone";
        case BatchState::Damaged:
            break;
    }
    return "damaged";
}

namespace {

BatchSummary Summarize(const std::string& path, std::unordered_map<std::string, BatchState>& known,
                       const std::string& stateFolder) {
    BatchSummary summary;
    summary.path = path;
    const auto journal = platform::ReadJournal(path, summary.error);
    if (journal) {
        summary.operation = journal->plan.operation;
        summary.time = journal->plan.time;
        summary.folder = journal->plan.folders.empty() ? "" : journal->plan.folders[0];
        summary.steps = journal->plan.steps.size();
        summary.isUndo = !journal->plan.undoes.empty();
        summary.state = StateOfJournal(*journal, known, stateFolder, 0);
    }
    return summary;
}

bool Undoable(const BatchSummary& batch) {
    return !batch.isUndo && batch.state != BatchState::Undone;
}

}  // namespace

std::vector<BatchSummary> ListBatches(const std::string& stateFolder) {
    std::vector<BatchSummary> batches;
    std::unordered_map<std::string, BatchState> known;
    for (const std::string& path : platform::ListJournals(stateFolder)) {
        batches.push_back(Summarize(path, known, stateFolder));
    }
    return batches;
}

std::optional<BatchSummary> LastUndoableBatch(const std::string& stateFolder) {
    std::unordered_map<std::string, BatchState> known;
    for (const std::string& path : platform::ListJournals(stateFolder)) {
        BatchSummary batch = Summarize(path, known, stateFolder);
        if (Undoable(batch)) {
            return batch;
        }
    }
    return std::nullopt;
}

int LastUndoable(const std::vector<BatchSummary>& batches) {
    for (std::size_t i = 0; i < batches.size(); ++i) {
        if (Undoable(batches[i])) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

UndoResult UndoBatch(const std::string& path, bool dryRun, const std::string& stateFolder) {
    UndoResult result;
    std::string error;
    const auto journal = platform::ReadJournal(path, error);
    if (!journal) {
        result.status = 2;
        result.message = error;
        return result;
    }
    result.folders = journal->plan.folders;
    result.operation = journal->plan.operation;
    std::unordered_map<std::string, BatchState> known;
    if (StateOfJournal(*journal, known, stateFolder, 0) == BatchState::Undone) {
        result.status = 2;
        result.message = "This batch has already been undone; nothing was changed.";
        return result;
    }

    std::vector<Reversal> reversals;
    for (std::size_t i = journal->plan.steps.size(); i-- > 0;) {
        if (auto r = Reverse(*journal, i, result.skipped)) {
            reversals.push_back(std::move(*r));
        }
    }
    if (dryRun) {
        result.undone = reversals.size();
        result.status = result.skipped.empty() ? 0 : 1;
        return result;
    }

    platform::JournalPlan plan;
    plan.operation = "undo";
    plan.folders = journal->plan.folders;
    plan.undoes = journal->file;
    plan.steps.reserve(reversals.size());
    for (const Reversal& r : reversals) {
        plan.steps.push_back(r.step);
    }
    platform::JournalWriter writer(stateFolder);
    if (const int failed = writer.Begin(std::move(plan)); failed != 0) {
        result.status = 2;
        result.message = "The undo journal cannot be written (" +
                         platform::SystemErrorText(failed) + "); nothing was undone.";
        return result;
    }
    for (std::uint32_t i = 0; i < reversals.size(); ++i) {
        const Reversal& r = reversals[i];
        std::optional<FileIdentity> written;
        const int failed = Carry(journal->plan, r, written);
        if (failed != 0) {
            const std::string where =
                platform::JoinPath(journal->plan.folders[r.step.fromFolder], r.step.oldName);
            result.skipped.push_back(where + ": " +
                                     (failed == ESTALE ? std::string("changed during the undo")
                                                       : platform::SystemErrorText(failed)) +
                                     "; not undone");
            continue;
        }
        ++result.undone;
        if (written) {
            writer.Done(i, *written);
        } else {
            writer.Done(i);
        }
    }
    writer.Finish(result.skipped.empty());
    result.journal = writer.Path();
    result.status = result.skipped.empty() ? 0 : 1;
    if (const int failed = platform::MarkUndone(path, FileNameOf(writer.Path())); failed != 0) {
        result.skipped.push_back(path + ": cannot be marked undone (" +
                                 platform::SystemErrorText(failed) + ")");
        result.status = 1;
    }
    return result;
}

}  // namespace tidemark::rename
