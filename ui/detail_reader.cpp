#include "ui/detail_reader.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/folder_fd.h"
#include "ui/background_priority.h"

namespace tidemark::ui {

DetailReader::DetailReader(QObject* parent) : QObject(parent) {}

DetailReader::~DetailReader() {
    Drop();
}

void DetailReader::Start(DetailPass pass) {
    Drop();
    latest_ = pass.generation;
    thread_ = std::jthread(
        [this, pass = std::move(pass)](std::stop_token stop) { Run(pass, std::move(stop)); });
}

void DetailReader::Drop() {
    latest_ = 0;
    // A pass stops between two entries, so the wait is one file-system query at most.
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void DetailReader::Run(const DetailPass& pass, std::stop_token stop) {
    // Without memory for a chunk the pass ends: the list still reads the rows it shows, and an
    // order by a detail reads the rest.
    RunBelowForeground();
    try {
        ReadAll(pass, stop);
    } catch (const std::bad_alloc&) {
    }
}

void DetailReader::ReadAll(const DetailPass& pass, std::stop_token stop) {
    // The entries are read relative to the folder as it was opened now: a rename of the
    // folder meanwhile does not send the names elsewhere.
    const platform::FolderFd folder = platform::FolderFd::Open(pass.folder);
    if (!folder.Valid() || !pass.names) {
        return;
    }
    std::string name;
    for (std::size_t first = 0; first < pass.records.size() && !stop.stop_requested();
         first += kChunk) {
        auto chunk = std::make_shared<DetailChunk>();
        chunk->generation = pass.generation;
        const std::size_t end = std::min(pass.records.size(), first + kChunk);
        chunk->records.assign(pass.records.begin() + static_cast<std::ptrdiff_t>(first),
                              pass.records.begin() + static_cast<std::ptrdiff_t>(end));
        chunk->details.reserve(end - first);
        for (const std::uint32_t record : chunk->records) {
            if (stop.stop_requested()) {
                return;
            }
            name = pass.names->Name(record);
            chunk->details.push_back(platform::StatAt(folder.Get(), name));
        }
        chunk->last = end == pass.records.size();
        // Queued onto the reader's thread; ~QObject discards it if the reader is gone.
        QMetaObject::invokeMethod(
            this,
            [this, chunk = std::shared_ptr<const DetailChunk>(std::move(chunk))] {
                Deliver(chunk);
            },
            Qt::QueuedConnection);
    }
}

void DetailReader::Deliver(const std::shared_ptr<const DetailChunk>& chunk) {
    // The folder was read again or changed after this pass began: its indices name other
    // records now.
    if (chunk->generation == 0 || chunk->generation != latest_) {
        return;
    }
    emit DetailsRead(chunk);
}

}  // namespace tidemark::ui
