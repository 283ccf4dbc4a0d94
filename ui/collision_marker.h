#pragma once
// Finds the preview rows whose new names cannot be carried out (a name no file system holds,
// an existing entry's name, another new name of the batch), on a thread of its own, so that
// typing never waits for a pass over a large folder. Each pass works on copies (the records'
// names, the row walk, the page's options); only the result of the latest pass is delivered,
// on the thread of the marker, and a pass overtaken by a newer one is stopped.

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "rename/batch_names.h"

namespace tidemark::ui {

struct CollisionPass {
    std::uint64_t generation = 0;
    std::shared_ptr<const rename::NameSnapshot> names;
    std::shared_ptr<const rename::RowWalk> walk;
    rename::PageCopy page{rename::RenameRequest{}};
    // The number page moves or copies into another folder: only the batch's own clashes count.
    bool toDestination = false;
};

// One marked row of the batch, by its position in the walk.
struct CollisionMark {
    std::uint32_t position = 0;
    rename::NameClash clash = rename::NameClash::None;
    int error = 0;            // with Invalid
    std::uint32_t other = 0;  // with Duplicate: the other row's position
};

struct CollisionMarks {
    std::uint64_t generation = 0;
    std::vector<CollisionMark> marks;  // ascending positions
    bool outOfMemory = false;          // the pass could not finish: no mark is known
};

class CollisionMarker : public QObject {
    Q_OBJECT
  public:
    explicit CollisionMarker(QObject* parent = nullptr);
    // Stops the pass under way and waits for the thread.
    ~CollisionMarker() override;

    // The marks of one pass, on the calling thread (a small batch is marked at once).
    static CollisionMarks Run(CollisionPass& pass, std::stop_token stop = {});

    // Starts a pass in the background; an earlier pass's result will never be delivered.
    void Start(CollisionPass pass);
    // No result of any pass started so far will be delivered.
    void Drop();
    // Passes the thread has ended, stopped or not.
    std::uint64_t FinishedPasses() const { return finished_.load(); }

  signals:
    // The result of the latest pass started.
    void MarksReady(std::shared_ptr<const CollisionMarks> marks);

  private:
    void Loop(std::stop_token threadStop);
    void Deliver(const std::shared_ptr<const CollisionMarks>& marks);

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::optional<CollisionPass> pending_;
    std::stop_source passStop_;
    std::uint64_t latest_ = 0;  // generation whose result is awaited; UI thread only
    std::atomic<std::uint64_t> finished_{0};
    std::jthread thread_;
};

}  // namespace tidemark::ui
