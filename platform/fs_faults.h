#pragma once
// A fault wrapper around the file-system call table, for tests: while a FaultInjection lives,
// every call is counted by kind and the chosen ones fail with a chosen errno, before the
// system is asked. A test reruns an operation with the fault at call 1, 2, ... until a run
// ends without meeting it:
//
//     for (int n = 1;; ++n) {
//         FaultInjection faults({{.kind = FsCallKind::Any, .failAt = n, .error = EIO}});
//         RunTheOperation();
//         if (!faults.Fired()) break;
//         CheckNothingWasLost();
//     }

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/fs_calls.h"

namespace tidemark::platform {

enum class FsCallKind : std::uint8_t {
    Open,
    Rename,
    Link,
    Unlink,
    Mkdir,
    Symlink,
    ReadLink,
    Read,
    Write,  // write and copy_file_range
    Sync,
    Owner,
    Mode,
    Times,
    Stat,
    Any,  // every call counts
};

struct Fault {
    FsCallKind kind = FsCallKind::Any;
    int failAt = 1;           // the n-th call of the kind (from 1) fails
    int error = 0;            // the errno it fails with
    bool persistent = false;  // every call of the kind from the n-th on fails
    // Only calls whose flags hold all these bits count (Open: the open flags, Rename: the
    // rename flags; 0: every call), e.g. O_TMPFILE to play a file system without it.
    unsigned flags = 0;
};

// One at a time: a second FaultInjection while one lives is not supported.
class FaultInjection {
  public:
    // onFail, when given, runs at the moment a call is made to fail, before it returns: a test
    // looks at the disk there as a crash at that point would leave it.
    explicit FaultInjection(std::vector<Fault> faults, std::function<void()> onFail = {});
    ~FaultInjection();
    FaultInjection(const FaultInjection&) = delete;
    FaultInjection& operator=(const FaultInjection&) = delete;

    // True once the fault at this index of the list has made a call fail.
    bool Fired(std::size_t fault = 0) const { return fault < fired_.size() && fired_[fault]; }
    // Calls made of a kind so far (Any: all calls).
    int Calls(FsCallKind kind) const { return counts_[static_cast<int>(kind)]; }

  private:
    friend struct FaultHooks;
    bool ShouldFail(FsCallKind kind, unsigned flags);

    std::vector<Fault> faults_;
    int counts_[static_cast<int>(FsCallKind::Any) + 1] = {};
    std::vector<bool> fired_;
    std::function<void()> onFail_;
    FsCallTable inner_;
    ScopedFsCalls scope_;
};

}  // namespace tidemark::platform
