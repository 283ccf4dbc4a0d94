#include "platform/journal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <string_view>

#include "platform/file_system.h"

namespace tidemark::platform {
namespace {

constexpr std::string_view kMagic = "TMKJ 1";
constexpr std::string_view kPrefix = "batch-";
constexpr std::string_view kSuffix = ".tmj";
// Finished steps are written in blocks of about this size: one write per step would cost more
// than the rename itself.
constexpr std::size_t kBlock = 64 * 1024;

std::uint64_t Fnv1a(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

// Names are stored byte-exact: blanks, control bytes, DEL and "%" become %XX; all other bytes
// (those of names that are not UTF-8 included) stay as they are.
bool NeedsEscape(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b <= 0x20 || b == 0x7F || b == '%';
}

// Writes name escaped at out, which has room for 3 * name.size() + 1 bytes; returns the end.
char* PutEscaped(char* out, std::string_view name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    if (name.empty()) {
        *out++ = '%';  // a lone "%" stands for the empty text
        return out;
    }
    for (const char c : name) {
        if (NeedsEscape(c)) {
            const auto b = static_cast<unsigned char>(c);
            *out++ = '%';
            *out++ = kHex[b >> 4];
            *out++ = kHex[b & 0xF];
        } else {
            *out++ = c;
        }
    }
    return out;
}

void AppendEscaped(std::string& out, std::string_view name) {
    const std::size_t start = out.size();
    out.resize(start + 3 * name.size() + 1);
    out.resize(static_cast<std::size_t>(PutEscaped(out.data() + start, name) - out.data()));
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    if (text == "%") {
        return true;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) {
            return false;
        }
        const int hi = HexValue(text[i + 1]);
        const int lo = HexValue(text[i + 2]);
        if (hi < 0 || lo < 0) {
            return false;
        }
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return true;
}

// Writes value in decimal at out, which has room for 20 bytes; returns the end.
template <typename T>
char* PutNumber(char* out, T value) {
    return std::to_chars(out, out + 20, value).ptr;
}

template <typename T>
void AppendNumber(std::string& out, T value) {
    char buffer[20];
    out.append(buffer, PutNumber(buffer, value));
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// One step's line, with the entry's identity as given. The fields are written into room made
// once per line: a plan of many thousand steps costs little more than its bytes.
void AppendStep(std::string& out, char tag, const JournalStep& step, std::uint64_t device,
                std::uint64_t inode) {
    const std::size_t start = out.size();
    out.resize(start + 3 * (step.oldName.size() + step.newName.size()) + 96);
    char* end = out.data() + start;
    const auto put = [&end](char c) { *end++ = c; };
    put(tag);
    put(' ');
    put(static_cast<char>(step.kind));
    put(' ');
    end = PutNumber(end, step.fromFolder);
    put(' ');
    end = PutEscaped(end, step.oldName);
    put(' ');
    end = PutNumber(end, step.toFolder);
    put(' ');
    end = PutEscaped(end, step.newName);
    put(' ');
    end = PutNumber(end, device);
    put(' ');
    end = PutNumber(end, inode);
    put('\n');
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (!line.empty()) {
        const std::size_t space = line.find(' ');
        fields.push_back(line.substr(0, space));
        if (space == std::string_view::npos) {
            break;
        }
        line.remove_prefix(space + 1);
    }
    return fields;
}

bool IsStepKind(char c) {
    return c == 'R' || c == 'M' || c == 'X' || c == 'C' || c == 'K';
}

bool ParseStep(const std::vector<std::string_view>& f, std::size_t folderCount, JournalStep& step) {
    if (f.size() != 8 || f[1].size() != 1 || !IsStepKind(f[1][0])) {
        return false;
    }
    step.kind = static_cast<StepKind>(f[1][0]);
    return ParseNumber(f[2], step.fromFolder) && step.fromFolder < folderCount &&
           Unescape(f[3], step.oldName) && ParseNumber(f[4], step.toFolder) &&
           step.toFolder < folderCount && Unescape(f[5], step.newName) &&
           ParseNumber(f[6], step.device) && ParseNumber(f[7], step.inode);
}

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// The journal asks the system directly, not through the call table that tests make fail: a
// batch's own failures must not change what its journal says.
bool IsFolder(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int MakeFolders(const std::string& folder) {
    if (folder.empty() || IsFolder(folder)) {
        return 0;
    }
    if (const int error = MakeFolders(ParentFolder(folder)); error != 0) {
        return error;
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return errno;
    }
    return 0;
}

FileIdentity IdentityOf(const struct statx& sx) {
    return {makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino, sx.stx_size,
            sx.stx_mtime.tv_sec * 1000000000LL + sx.stx_mtime.tv_nsec};
}

// A name that sorts by time: nanoseconds since 1970, then the process, then a counter.
std::string NewJournalName() {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.*s%020lld-%07d-%04u%.*s",
                  static_cast<int>(kPrefix.size()), kPrefix.data(), static_cast<long long>(ns),
                  static_cast<int>(getpid()), counter++ % 10000, static_cast<int>(kSuffix.size()),
                  kSuffix.data());
    return buffer;
}

void Prune(const std::string& folder) {
    const std::vector<std::string> journals = ListJournals(folder);
    for (std::size_t i = kJournalsKept; i < journals.size(); ++i) {
        unlink(journals[i].c_str());
    }
}

}  // namespace

std::optional<FileIdentity> IdentifyEntry(const std::string& folder, const std::string& name) {
    struct statx sx {};
    const std::string path = JoinPath(folder, name);
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_INO | STATX_SIZE | STATX_MTIME, &sx) != 0) {
        return std::nullopt;
    }
    return IdentityOf(sx);
}

std::string StateFolder() {
    if (const char* state = std::getenv("TMK_STATE"); state != nullptr && *state != '\0') {
        return StripTrailingSeparator(state);
    }
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg != nullptr && *xdg == '/') {
        return JoinPath(StripTrailingSeparator(xdg), "tidemark");
    }
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home != nullptr && *home != '\0' ? home : "/", ".local/state"),
                    "tidemark");
}

JournalWriter::JournalWriter(std::string stateFolder) : folder_(std::move(stateFolder)) {}

JournalWriter::~JournalWriter() {
    if (fd_ >= 0) {
        Finish(false);
    }
}

int JournalWriter::Begin(const JournalPlan& plan) {
    if (fd_ >= 0) {
        return EBUSY;
    }
    path_ = JoinPath(folder_, NewJournalName());
    if (const int error = MakeFolders(folder_); error != 0) {
        return error;
    }
    const std::int64_t time = std::chrono::duration_cast<std::chrono::seconds>(
                                  std::chrono::system_clock::now().time_since_epoch())
                                  .count();
    std::string text;
    text.reserve(64 + plan.steps.size() * 48);
    text += kMagic;
    text += "\nO ";
    AppendEscaped(text, plan.operation);
    text += ' ';
    AppendNumber(text, time);
    text += '\n';
    if (!plan.undoes.empty()) {
        text += "U ";
        AppendEscaped(text, plan.undoes);
        text += '\n';
    }
    std::vector<std::uint64_t> devices;
    for (const std::string& folder : plan.folders) {
        text += "F ";
        AppendEscaped(text, folder);
        text += '\n';
        // A folder gone since (an undo of an old batch) has no device; its steps are skipped.
        struct stat st {};
        devices.push_back(stat(folder.c_str(), &st) == 0 ? st.st_dev : 0);
    }
    for (const JournalStep& step : plan.steps) {
        if (step.fromFolder >= plan.folders.size() || step.toFolder >= plan.folders.size()) {
            return EINVAL;
        }
        std::uint64_t device = step.device;
        std::uint64_t inode = step.inode;
        if (inode == 0) {
            if (const auto id = IdentifyEntry(plan.folders[step.fromFolder], step.oldName)) {
                device = id->device;
                inode = id->inode;
            }
        } else if (device == 0) {
            device = devices[step.fromFolder];
        }
        AppendStep(text, 'S', step, device, inode);
    }
    const std::uint64_t hash = Fnv1a(text);
    text += "P ";
    AppendNumber(text, plan.steps.size());
    text += ' ';
    AppendNumber(text, hash);
    text += '\n';

    const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno;
    }
    int error = WriteAll(fd, text);
    if (error == 0 && fdatasync(fd) != 0) {
        error = errno;
    }
    if (error == 0) {
        // The new name itself must survive a crash too.
        const int dirfd = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirfd < 0 || fsync(dirfd) != 0) {
            error = errno;
        }
        if (dirfd >= 0) {
            close(dirfd);
        }
    }
    if (error != 0) {
        close(fd);
        unlink(path_.c_str());
        return error;
    }
    fd_ = fd;
    stepCount_ = static_cast<std::uint32_t>(plan.steps.size());
    changed_ = 0;
    keeps_.assign(plan.steps.size(), false);
    for (std::size_t i = 0; i < plan.steps.size(); ++i) {
        const JournalStep& step = plan.steps[i];
        keeps_[i] = step.fromFolder == step.toFolder && step.oldName == step.newName;
    }
    Prune(folder_);
    return 0;
}

int JournalWriter::Flush() {
    const int error = WriteAll(fd_, pending_);
    pending_.clear();
    return error;
}

void JournalWriter::Done(std::uint32_t step) {
    if (fd_ < 0) {
        return;
    }
    changed_ += step < keeps_.size() && keeps_[step] ? 0 : 1;
    char line[24] = "D ";
    char* end = PutNumber(line + 2, step);
    *end++ = '\n';
    pending_.append(line, end);
    if (pending_.size() >= kBlock) {
        Flush();
    }
}

void JournalWriter::Done(std::uint32_t step, const FileIdentity& written) {
    if (fd_ < 0) {
        return;
    }
    ++changed_;
    pending_ += "D ";
    AppendNumber(pending_, step);
    for (const std::uint64_t value : {written.device, written.inode, written.size}) {
        pending_ += ' ';
        AppendNumber(pending_, value);
    }
    pending_ += ' ';
    AppendNumber(pending_, written.modifiedNs);
    pending_ += '\n';
    Flush();
}

std::uint32_t JournalWriter::Amend(const JournalStep& step) {
    if (fd_ < 0) {
        return stepCount_++;
    }
    AppendStep(pending_, 'A', step, step.device, step.inode);
    Flush();
    return stepCount_++;
}

int JournalWriter::Finish(bool complete) {
    if (fd_ < 0) {
        return 0;
    }
    pending_ += complete ? "E complete\n" : "E stopped\n";
    int error = Flush();
    if (error == 0 && fdatasync(fd_) != 0) {
        error = errno;
    }
    close(fd_);
    fd_ = -1;
    return error;
}

// The journal is a text file of lines, fields separated by one blank; names and folders are
// escaped as AppendEscaped does ("%XX" for blanks, control bytes, DEL and "%"; "%" alone for an
// empty text), so every byte of a name survives. In order:
//
//   TMKJ 1                                  format and version
//   O <operation> <unix seconds>            what ran, and when
//   U <journal file>                        only in an undo: the journal it reverses
//   F <folder>                              the folders, numbered from 0 in this order
//   S <kind> <from> <old> <to> <new> <device> <inode>
//                                           one per planned step: kind R rename, M move,
//                                           X move across file systems, C copy, K removal of a
//                                           copy; folder numbers; the entry's identity before
//   P <steps> <hash>                        end of the plan: the count of S lines and the
//                                           FNV-1a 64 hash of every byte before this line
//   --- the plan is synced before the first change; then, as the batch runs:
//   D <step> [<device> <inode> <size> <mtime ns>]
//                                           step finished (with the written file's identity
//                                           for copies and moves across file systems)
//   A <kind> <from> <old> <to> <new> <device> <inode>
//                                           a step added on the way, written before it runs
//   E complete | E stopped                  end of the batch, synced
//   X <journal file>                        appended when that undo journal reversed the batch
//
// A plan that is cut short or does not match its hash is refused whole. After the plan, a last
// line without its line end (a batch killed while writing) is ignored; any other line that does
// not read is refused.
std::optional<Journal> ReadJournal(const std::string& path, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": " + SystemErrorText(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n < 0) {
                error = path + ": " + SystemErrorText(errno);
                close(fd);
                return std::nullopt;
            }
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);

    Journal journal;
    journal.path = path;
    const std::size_t slash = path.rfind('/');
    journal.file = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto damaged = [&](std::string_view why) {
        error = path + ": the journal is damaged (" + std::string(why) +
                "); nothing was undone from it";
        return std::nullopt;
    };

    std::string_view rest = text;
    std::size_t offset = 0;
    bool planEnded = false;
    std::size_t lineNumber = 0;
    std::string scratch;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            if (!planEnded) {
                return damaged("the plan is cut short");
            }
            break;  // a step line cut short by a kill
        }
        const std::string_view line = rest.substr(0, end);
        const std::size_t lineOffset = offset;
        rest.remove_prefix(end + 1);
        offset += end + 1;
        ++lineNumber;
        const std::vector<std::string_view> f = Fields(line);
        if (lineNumber == 1) {
            if (line != kMagic) {
                return damaged("not a journal of this program");
            }
            continue;
        }
        if (f.empty() || f[0].size() != 1) {
            return damaged("line " + std::to_string(lineNumber));
        }
        const char tag = f[0][0];
        bool ok = true;
        if (!planEnded) {
            if (tag == 'O') {
                ok = f.size() == 3 && Unescape(f[1], journal.plan.operation) &&
                     ParseNumber(f[2], journal.plan.time);
            } else if (tag == 'U') {
                ok = f.size() == 2 && Unescape(f[1], journal.plan.undoes);
            } else if (tag == 'F') {
                ok = f.size() == 2 && Unescape(f[1], scratch);
                journal.plan.folders.push_back(scratch);
            } else if (tag == 'S') {
                JournalStep step;
                ok = ParseStep(f, journal.plan.folders.size(), step);
                journal.plan.steps.push_back(std::move(step));
            } else if (tag == 'P') {
                std::size_t count = 0;
                std::uint64_t hash = 0;
                ok = f.size() == 3 && ParseNumber(f[1], count) && ParseNumber(f[2], hash);
                if (ok && (count != journal.plan.steps.size() ||
                           hash != Fnv1a(std::string_view(text).substr(0, lineOffset)))) {
                    return damaged("the plan does not match its check sum");
                }
                planEnded = true;
            } else {
                ok = false;
            }
        } else if (tag == 'D') {
            std::uint32_t step = 0;
            ok = (f.size() == 2 || f.size() == 6) && ParseNumber(f[1], step) &&
                 step < journal.plan.steps.size();
            if (ok) {
                journal.done.resize(journal.plan.steps.size());
                journal.written.resize(journal.plan.steps.size());
                journal.done[step] = true;
                if (f.size() == 6) {
                    FileIdentity id;
                    ok = ParseNumber(f[2], id.device) && ParseNumber(f[3], id.inode) &&
                         ParseNumber(f[4], id.size) && ParseNumber(f[5], id.modifiedNs);
                    journal.written[step] = id;
                }
            }
        } else if (tag == 'A') {
            JournalStep step;
            ok = ParseStep(f, journal.plan.folders.size(), step);
            journal.plan.steps.push_back(std::move(step));
        } else if (tag == 'E') {
            ok = f.size() == 2 && (f[1] == "complete" || f[1] == "stopped");
            journal.end = ok && f[1] == "complete" ? BatchEnd::Complete : BatchEnd::Stopped;
        } else if (tag == 'X') {
            ok = f.size() == 2 && Unescape(f[1], scratch);
            journal.undoneBy.push_back(scratch);
        } else {
            ok = false;
        }
        if (!ok) {
            return damaged("line " + std::to_string(lineNumber));
        }
    }
    if (!planEnded) {
        return damaged("the plan is cut short");
    }
    journal.done.resize(journal.plan.steps.size());
    journal.written.resize(journal.plan.steps.size());
    return journal;
}

std::vector<std::string> ListJournals(const std::string& stateFolder) {
    std::vector<std::string> names;
    ListFolderKinds(stateFolder, [&](const DirEntry& entry) {
        if (entry.name.starts_with(kPrefix) && entry.name.ends_with(kSuffix)) {
            names.emplace_back(entry.name);
        }
        return true;
    });
    std::sort(names.rbegin(), names.rend());
    for (std::string& name : names) {
        name = JoinPath(stateFolder, name);
    }
    return names;
}

int MarkUndone(const std::string& path, const std::string& undoFile) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    std::string line = "X ";
    AppendEscaped(line, undoFile);
    line += '\n';
    int error = WriteAll(fd, line);
    if (error == 0 && fdatasync(fd) != 0) {
        error = errno;
    }
    close(fd);
    return error;
}

}  // namespace tidemark::platform
