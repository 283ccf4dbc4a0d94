#include "typenames/mime_type_namer.h"

#include <QString>

namespace tidemark::typenames {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

MimeTypeNamer::MimeTypeNamer() {
    const QMimeType folder = database_.mimeTypeForName(QStringLiteral("inode/directory"));
    folder_.typeName = folder.isValid() && !folder.comment().isEmpty()
                           ? ToStdString(folder.comment())
                           : catalogue::DefaultTypeNamer("", true).typeName;
}

const MimeTypeNamer::Entry& MimeTypeNamer::Lookup(std::string_view path, bool isFolder) {
    if (isFolder) {
        return folder_;
    }
    // Keyed with the dot, so that "x." and "x" stay apart as the default namer keeps them.
    std::string extension(catalogue::ExtensionOf(path.substr(path.rfind('/') + 1)));
    if (auto found = byExtension_.find(extension); found != byExtension_.end()) {
        return found->second;
    }
    Entry entry{catalogue::DefaultTypeNamer(path, false).typeName, {}};
    if (extension.size() > 1) {
        const QMimeType type = database_.mimeTypeForFile(QStringLiteral("x") + ToQString(extension),
                                                         QMimeDatabase::MatchExtension);
        if (type.isValid() && !type.isDefault()) {
            if (!type.comment().isEmpty()) {
                entry.typeName = ToStdString(type.comment());
            }
            entry.type = type;
        }
    }
    return byExtension_.emplace(std::move(extension), std::move(entry)).first->second;
}

catalogue::TypeNamer MimeTypeNamer::MakeNamer(const std::shared_ptr<MimeTypeNamer>& namer) {
    return [namer](std::string_view path, bool isFolder) {
        return catalogue::TypeInfo{namer->Lookup(path, isFolder).typeName, 0};
    };
}

}  // namespace tidemark::typenames
