#include "platform/runlog.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

namespace tidemark::platform {
namespace {

struct RunLog {
    std::mutex mutex;
    std::FILE* file = nullptr;
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
    if (log.file == nullptr) {
        // "e": the log must not leak into programs started from here.
        log.file = std::fopen("tmk.log", "ae");
        if (log.file == nullptr) {
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
    if (log.file == nullptr) {
        return false;
    }
    std::string line = TimeStamp();
    line += ' ';
    line += text;
    line += '\n';
    const bool written = std::fwrite(line.data(), 1, line.size(), log.file) == line.size();
    return std::fflush(log.file) == 0 && written;
}

void RunLogShutdown() {
    RunLog& log = TheLog();
    std::lock_guard lock(log.mutex);
    if (log.file != nullptr) {
        std::fclose(log.file);
        log.file = nullptr;
    }
}

}  // namespace tidemark::platform
