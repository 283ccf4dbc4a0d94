#pragma once
// Names entry types from the system's type database, by file name alone (never opening the
// file), cached per extension. Used by the window and the command line alike so the Type column
// reads the same in both.

#include <QMimeDatabase>
#include <QMimeType>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "catalogue/file_record.h"

namespace tidemark::typenames {

class MimeTypeNamer {
  public:
    struct Entry {
        std::string typeName;
        QMimeType type;  // invalid for folders and for extensions the database does not know
    };

    MimeTypeNamer();

    // The reference stays valid for the namer's lifetime.
    const Entry& Lookup(std::string_view path, bool isFolder);

    // A catalogue type namer forwarding to namer (kept alive by it); icon index 0.
    static catalogue::TypeNamer MakeNamer(const std::shared_ptr<MimeTypeNamer>& namer);

  private:
    QMimeDatabase database_;
    Entry folder_;
    std::unordered_map<std::string, Entry> byExtension_;
};

}  // namespace tidemark::typenames
