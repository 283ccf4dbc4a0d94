#pragma once
// Reads the size, times and attributes of a freshly listed folder's entries on a thread of its
// own, so that the folder is shown at once and a later order by size needs no wait. A pass
// works on copies (the folder, the records' names, the records still without details) and
// never touches the catalogue: its results reach the reader's thread in chunks, where only
// those of the latest pass are delivered, and a pass overtaken by a newer one is stopped.

#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "rename/batch_names.h"

namespace tidemark::ui {

struct DetailPass {
    std::uint64_t generation = 0;
    std::string folder;
    std::shared_ptr<const rename::NameSnapshot> names;
    std::vector<std::uint32_t> records;  // the record indices to read, ascending
};

struct DetailChunk {
    std::uint64_t generation = 0;
    bool last = false;  // the pass ends with this chunk
    std::vector<std::uint32_t> records;
    std::vector<std::optional<platform::EntryInfo>> details;  // nullopt: the entry is gone
};

class DetailReader : public QObject {
    Q_OBJECT
  public:
    explicit DetailReader(QObject* parent = nullptr);
    // Stops the pass under way and waits for its thread.
    ~DetailReader() override;

    // Starts a pass in the background; an earlier pass stops and none of its chunks will be
    // delivered.
    void Start(DetailPass pass);
    // No chunk of any pass started so far will be delivered.
    void Drop();

    // The entries read per chunk: about a millisecond's work to apply.
    static constexpr std::size_t kChunk = 4096;

  signals:
    // A chunk of the latest pass, on the reader's thread.
    void DetailsRead(std::shared_ptr<const DetailChunk> chunk);

  private:
    void Run(const DetailPass& pass, std::stop_token stop);
    void ReadAll(const DetailPass& pass, std::stop_token stop);
    void Deliver(const std::shared_ptr<const DetailChunk>& chunk);

    std::uint64_t latest_ = 0;  // generation whose chunks are awaited; reader's thread only
    std::jthread thread_;
};

}  // namespace tidemark::ui
