#pragma once
// The journal of a batch that changes the file system: the whole plan on disk (synced) before the
// first change, each finished step appended as it happens, and the end of the batch marked and
// synced. Undo reads it back. One file per batch in the state folder; the last kJournalsKept
// batches are kept. The file format is described at ReadJournal in journal.cpp.
//
//     JournalWriter journal(StateFolder());
//     if (int error = journal.Begin(plan); error != 0) { /* refuse the batch */ }
//     ... carry out step i ...; journal.Done(i);
//     journal.Finish(allDone);

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::platform {

inline constexpr std::size_t kJournalsKept = 50;

// What one step does. A move across file systems is a copy then a delete of the source.
enum class StepKind : char {
    Rename = 'R',     // within one folder
    Move = 'M',       // into another folder of the same file system
    CrossMove = 'X',  // into a folder of another file system
    Copy = 'C',
    Uncopy = 'K',  // removal of a copy (an undone copy): the "to" side names the original
};

// Which file a name stood for: device and inode, with size and last-write time (ns since 1970)
// for a written file.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of folder/name, not following a final symbolic link; nullopt when it is absent.
std::optional<FileIdentity> IdentifyEntry(const std::string& folder, const std::string& name);

struct JournalStep {
    StepKind kind = StepKind::Rename;
    std::uint32_t fromFolder = 0;  // indices into JournalPlan::folders
    std::uint32_t toFolder = 0;
    std::string oldName;  // the entry's name in fromFolder before the step
    std::string newName;  // its name in toFolder after it
    // The entry before the step; the writer fills an inode of 0 from the file system.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

struct JournalPlan {
    std::string operation;  // "rename", "move", "copy", "move-on-length", "merge", "undo"
    std::int64_t time = 0;  // Unix seconds; the writer sets it
    std::vector<std::string> folders;
    std::vector<JournalStep> steps;
    std::string undoes;  // for an undo: the file name of the journal it reverses
};

// The state folder: $TMK_STATE, else $XDG_STATE_HOME/tidemark, else ~/.local/state/tidemark.
std::string StateFolder();

class JournalWriter {
  public:
    explicit JournalWriter(std::string stateFolder = StateFolder());
    // A batch begun and never finished is ended as stopped.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Creates the state folder and the journal, writes the plan and syncs it; then removes the
    // oldest journals beyond kJournalsKept. Unknown inodes of steps are read from the file system;
    // plan.time is ignored (now is written). Returns 0 or the
    // errno of the failure (then nothing is left behind and the batch must not start).
    int Begin(const JournalPlan& plan);
    // Step i has been carried out. Kept in memory and written in blocks: a batch killed before
    // the block reached the file leaves those steps to be told from the file system.
    void Done(std::uint32_t step);
    // The same for a step that wrote a file (a copy, a move across file systems), with the
    // identity of what it wrote; written at once.
    void Done(std::uint32_t step, const FileIdentity& written);
    // A step that was not in the plan, recorded (written at once) before it is carried out.
    // Returns its index.
    std::uint32_t Amend(const JournalStep& step);
    // Marks the batch complete (or stopped) and syncs. Returns 0 or an errno.
    int Finish(bool complete);

    bool Active() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    const std::string& Folder() const { return folder_; }
    std::uint32_t StepCount() const { return stepCount_; }
    // Steps marked done so far, entries that kept their name and folder left out.
    std::uint32_t ChangedCount() const { return changed_; }

  private:
    int Flush();

    std::string folder_;
    std::string path_;
    std::string pending_;
    std::uint32_t stepCount_ = 0;
    std::uint32_t changed_ = 0;
    std::vector<bool> keeps_;  // per step: the entry keeps its name and folder
    int fd_ = -1;
};

// One journal as read back.
enum class BatchEnd { Stopped, Complete };
struct Journal {
    std::string path;
    std::string file;  // the file name, which the undo journal refers to
    JournalPlan plan;
    std::vector<bool> done;  // per step: marked finished
    std::vector<std::optional<FileIdentity>> written;
    // Complete only when the end was marked complete; a batch killed on the way reads Stopped.
    BatchEnd end = BatchEnd::Stopped;
    std::vector<std::string> undoneBy;  // file names of the undo journals, oldest first
};

// Reads and checks one journal. nullopt with a message in error when the file cannot be read,
// is not a journal, or its plan is cut short or damaged.
std::optional<Journal> ReadJournal(const std::string& path, std::string& error);

// The journal files of the state folder, newest first.
std::vector<std::string> ListJournals(const std::string& stateFolder = StateFolder());

// Records in the journal at path that the journal undoFile undid it. 0 or an errno.
int MarkUndone(const std::string& path, const std::string& undoFile);

}  // namespace tidemark::platform
