#pragma once
// The GUI's own icon list and type namer: one icon per file type, shared by both list panes.
// The type texts come from the namer the command line uses too; icons are cached per extension.

#include <QIcon>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/file_record.h"
#include "typenames/mime_type_namer.h"

namespace tidemark::ui {

class TypeIcons {
  public:
    TypeIcons();

    // The icon of index, or a null icon when out of range.
    const QIcon& Icon(int index) const;
    int IconCount() const { return static_cast<int>(icons_.size()); }

    catalogue::TypeInfo Describe(std::string_view path, bool isFolder);

    // A type namer for the catalogue that forwards to icons (kept alive by the namer).
    static catalogue::TypeNamer MakeNamer(const std::shared_ptr<TypeIcons>& icons);

  private:
    std::uint16_t IconIndexFor(const QMimeType& type);

    typenames::MimeTypeNamer namer_;
    std::vector<QIcon> icons_;
    std::unordered_map<std::string, std::uint16_t> iconOfName_;
    std::unordered_map<std::string, catalogue::TypeInfo> typeOfExtension_;
    catalogue::TypeInfo folderType_;
    QIcon nullIcon_;
};

}  // namespace tidemark::ui
