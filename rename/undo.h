#pragma once
// Undo of one journalled batch: its steps reversed, last first, with the same never-overwrite
// moves as the batch. A step is reversed only when the file system still shows what the batch
// left (the same device and inode; for a copy also the same size and last-write time); anything
// else is skipped and listed, never overwritten or deleted. The undo writes its own journal, so
// undoing it redoes the batch.
//
//     UndoResult result = UndoBatch(batches[0].path, /*dryRun=*/false);
//     for (const std::string& line : result.skipped) { ... }

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/journal.h"

namespace tidemark::rename {

enum class BatchState { Complete, Stopped, Undone, Damaged };

// "complete", "stopped", "undone", "damaged".
const char* BatchStateName(BatchState state);

struct BatchSummary {
    std::string path;
    std::string operation;  // empty for a damaged journal
    std::int64_t time = 0;  // Unix seconds
    std::string folder;     // the first folder of the batch
    std::size_t steps = 0;
    BatchState state = BatchState::Damaged;
    bool isUndo = false;
    std::string error;  // why a damaged journal cannot be read
};

// The kept batches, newest first.
std::vector<BatchSummary> ListBatches(const std::string& stateFolder = platform::StateFolder());

// The batch "Undo Last Batch" reverses: the newest that is not an undo and not undone (a damaged
// one counts, so that its refusal is shown rather than an older batch undone). -1 when none.
int LastUndoable(const std::vector<BatchSummary>& batches);
// The same, reading only as many journals as it takes (the window asks each time its menu
// opens). nullopt when none.
std::optional<BatchSummary> LastUndoableBatch(
    const std::string& stateFolder = platform::StateFolder());

struct UndoResult {
    // 0: every step that the batch carried out was reversed; 1: some were skipped (listed);
    // 2: refused as a whole (message), nothing changed.
    int status = 0;
    std::string message;
    std::size_t undone = 0;            // steps reversed (or that would be, in a dry run)
    std::vector<std::string> skipped;  // one line per step that could not be undone
    std::vector<std::string> folders;  // the batch's folders, for refreshing views of them
    std::string operation;
    std::string journal;  // the undo's own journal (empty in a dry run)
};

// Undoes the batch of the journal at path. With dryRun nothing changes and nothing is written.
// A batch already undone is refused (status 2), so undoing twice changes nothing.
UndoResult UndoBatch(const std::string& path, bool dryRun,
                     const std::string& stateFolder = platform::StateFolder());

}  // namespace tidemark::rename
