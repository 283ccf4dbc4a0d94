#include "platform/runlog.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "platform/fs_calls.h"

namespace tidemark::platform {
namespace {

struct RunLog {
    std::mutex mutex;
    int fd = -1;
    std::uintptr_t window = 0;
    std::int32_t level = 0;
};

RunLog& TheLog() {
    static RunLog log;
    return log;
}

std::string TimeStamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis));
    return text;
}

}  // namespace

bool RunLogInitialize(std::uintptr_t window, std::int32_t level) {
    RunLog& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.fd < 0) {
        // O_CLOEXEC: the log must not leak into programs started from here.
        log.fd = FsCalls().openat(AT_FDCWD, "tmk.log",
                                  O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
        if (log.fd < 0) {
            return false;
        }
    }
    log.window = window;
    log.level = level;
    return true;
}

bool LogMessage(std::string_view text) {
    RunLog& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.fd < 0) {
        return false;
    }
    std::string line = TimeStamp();
    line += ' ';
    line += text;
    line += '\n';
    for (std::size_t done = 0; done < line.size();) {
        const ssize_t n = FsCalls().write(log.fd, line.data() + done, line.size() - done);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return true;
}

void RunLogShutdown() {
    RunLog& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.fd >= 0) {
        close(log.fd);
        log.fd = -1;
    }
}

}  // namespace tidemark::platform
