#include "platform/fs_faults.h"

#include <cerrno>
#include <tuple>
#include <utility>

namespace tidemark::platform {

namespace {
FaultInjection* current = nullptr;
}

// Wrappers generated from the table's members: count, maybe fail, else call the inner table.
struct FaultHooks {
    template <FsCallKind Kind, auto Member>
    struct Hook;

    template <FsCallKind Kind, typename R, typename... A, R (*FsCallTable::*Member)(A...)>
    struct Hook<Kind, Member> {
        static R Call(A... args) {
            unsigned flags = 0;
            if constexpr (Kind == FsCallKind::Rename) {
                flags = std::get<4>(std::tuple<A...>(args...));
            } else if constexpr (Kind == FsCallKind::Open) {
                flags = static_cast<unsigned>(std::get<2>(std::tuple<A...>(args...)));
            }
            if (current->ShouldFail(Kind, flags)) {
                return -1;
            }
            return (current->inner_.*Member)(args...);
        }
    };

    static FsCallTable Table() {
        using K = FsCallKind;
        using T = FsCallTable;
        return FsCallTable{
            .openat = Hook<K::Open, &T::openat>::Call,
            .renameat2 = Hook<K::Rename, &T::renameat2>::Call,
            .linkat = Hook<K::Link, &T::linkat>::Call,
            .unlinkat = Hook<K::Unlink, &T::unlinkat>::Call,
            .mkdirat = Hook<K::Mkdir, &T::mkdirat>::Call,
            .symlinkat = Hook<K::Symlink, &T::symlinkat>::Call,
            .readlinkat = Hook<K::ReadLink, &T::readlinkat>::Call,
            .read = Hook<K::Read, &T::read>::Call,
            .write = Hook<K::Write, &T::write>::Call,
            .copy_file_range = Hook<K::Write, &T::copy_file_range>::Call,
            .fsync = Hook<K::Sync, &T::fsync>::Call,
            .fchown = Hook<K::Owner, &T::fchown>::Call,
            .fchownat = Hook<K::Owner, &T::fchownat>::Call,
            .fchmod = Hook<K::Mode, &T::fchmod>::Call,
            .futimens = Hook<K::Times, &T::futimens>::Call,
            .utimensat = Hook<K::Times, &T::utimensat>::Call,
            .fstat = Hook<K::Stat, &T::fstat>::Call,
            .fstatat = Hook<K::Stat, &T::fstatat>::Call,
            .statx = Hook<K::Stat, &T::statx>::Call,
        };
    }
};

FaultInjection::FaultInjection(std::vector<Fault> faults, std::function<void()> onFail)
    : faults_(std::move(faults)),
      fired_(faults_.size(), false),
      onFail_(std::move(onFail)),
      inner_(FsCalls()),
      scope_(FaultHooks::Table()) {
    current = this;
}

FaultInjection::~FaultInjection() {
    current = nullptr;
}

bool FaultInjection::ShouldFail(FsCallKind kind, unsigned flags) {
    const int count = ++counts_[static_cast<int>(kind)];
    const int any = ++counts_[static_cast<int>(FsCallKind::Any)];
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        const Fault& fault = faults_[i];
        const bool ofKind = fault.kind == kind || fault.kind == FsCallKind::Any;
        if (!ofKind || (flags & fault.flags) != fault.flags) {
            continue;
        }
        const int n = fault.kind == FsCallKind::Any ? any : count;
        if (n == fault.failAt || (fault.persistent && n > fault.failAt)) {
            fired_[i] = true;
            if (onFail_) {
                onFail_();
            }
            errno = fault.error;
            return true;
        }
    }
    return false;
}

}  // namespace tidemark::platform
