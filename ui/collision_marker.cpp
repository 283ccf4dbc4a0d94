#include "ui/collision_marker.h"

#include <new>

#include "ui/background_priority.h"

namespace tidemark::ui {

CollisionMarker::CollisionMarker(QObject* parent) : QObject(parent) {
    thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
}

CollisionMarker::~CollisionMarker() {
    {
        const std::lock_guard lock(mutex_);
        passStop_.request_stop();
    }
    thread_.request_stop();
    thread_.join();
}

CollisionMarks CollisionMarker::Run(CollisionPass& pass, std::stop_token stop) {
    CollisionMarks result;
    result.generation = pass.generation;
    if (!pass.names || !pass.walk) {
        return result;
    }
    // A pass runs on the marker's thread, where an escaping exception would end the program;
    // running out of memory only leaves the marks unknown (the rename checks the batch itself).
    try {
        const rename::DestinationNames noNames;
        const rename::BatchNames batch =
            rename::WalkBatch(*pass.names, *pass.walk, pass.page.Request(),
                              pass.toDestination ? &noNames : nullptr, stop);
        result.marks.reserve(batch.clashCount);
        for (std::size_t p = 0; p < batch.rows.size(); ++p) {
            const rename::BatchRow& row = batch.rows[p];
            if (row.clash != rename::NameClash::None) {
                result.marks.push_back(
                    {static_cast<std::uint32_t>(p), row.clash, row.error, row.other});
            }
        }
    } catch (const std::bad_alloc&) {
        result.marks = {};
        result.outOfMemory = true;
    }
    return result;
}

void CollisionMarker::Start(CollisionPass pass) {
    const std::lock_guard lock(mutex_);
    passStop_.request_stop();
    passStop_ = std::stop_source();
    latest_ = pass.generation;
    pending_ = std::move(pass);
    wake_.notify_one();
}

void CollisionMarker::Drop() {
    const std::lock_guard lock(mutex_);
    passStop_.request_stop();
    pending_.reset();
    latest_ = 0;
}

void CollisionMarker::Loop(std::stop_token threadStop) {
    RunBelowForeground();
    while (true) {
        CollisionPass pass;
        std::stop_token passStop;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, threadStop, [this] { return pending_.has_value(); })) {
                return;
            }
            pass = std::move(*pending_);
            pending_.reset();
            passStop = passStop_.get_token();
        }
        auto marks = std::make_shared<const CollisionMarks>(Run(pass, passStop));
        ++finished_;
        if (!passStop.stop_requested()) {
            // Queued onto the marker's thread; ~QObject discards it if the marker is gone.
            QMetaObject::invokeMethod(
                this, [this, marks] { Deliver(marks); }, Qt::QueuedConnection);
        }
    }
}

void CollisionMarker::Deliver(const std::shared_ptr<const CollisionMarks>& marks) {
    // The options or the rows changed after this pass began: its marks would be false.
    if (marks->generation == 0 || marks->generation != latest_) {
        return;
    }
    emit MarksReady(marks);
}

}  // namespace tidemark::ui
