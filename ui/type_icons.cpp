#include "ui/type_icons.h"

#include <QFileIconProvider>

#include "ui/qt_text.h"

namespace tidemark::ui {

namespace {

constexpr std::uint16_t kFolderIcon = 0;
constexpr std::uint16_t kFileIcon = 1;

}  // namespace

TypeIcons::TypeIcons() {
    QFileIconProvider provider;
    icons_.push_back(provider.icon(QAbstractFileIconProvider::Folder));
    icons_.push_back(provider.icon(QAbstractFileIconProvider::File));
    folderType_.typeName = namer_.Lookup("", true).typeName;
    folderType_.iconIndex = kFolderIcon;
}

const QIcon& TypeIcons::Icon(int index) const {
    if (index < 0 || index >= IconCount()) {
        return nullIcon_;
    }
    return icons_[static_cast<std::size_t>(index)];
}

std::uint16_t TypeIcons::IconIndexFor(const QMimeType& type) {
    const std::string key = ToStdString(type.iconName());
    if (auto found = iconOfName_.find(key); found != iconOfName_.end()) {
        return found->second;
    }
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) {
        icon = QIcon::fromTheme(type.genericIconName());
    }
    std::uint16_t index = kFileIcon;
    if (!icon.isNull() && icons_.size() < 0xFFFF) {
        index = static_cast<std::uint16_t>(icons_.size());
        icons_.push_back(icon);
    }
    iconOfName_.emplace(key, index);
    return index;
}

catalogue::TypeInfo TypeIcons::Describe(std::string_view path, bool isFolder) {
    if (isFolder) {
        return folderType_;
    }
    const std::string extension(catalogue::ExtensionOf(path.substr(path.rfind('/') + 1)));
    if (auto found = typeOfExtension_.find(extension); found != typeOfExtension_.end()) {
        return found->second;
    }
    const typenames::MimeTypeNamer::Entry& entry = namer_.Lookup(path, false);
    const catalogue::TypeInfo info{entry.typeName,
                                   entry.type.isValid() ? IconIndexFor(entry.type) : kFileIcon};
    typeOfExtension_.emplace(extension, info);
    return info;
}

catalogue::TypeNamer TypeIcons::MakeNamer(const std::shared_ptr<TypeIcons>& icons) {
    return
        [icons](std::string_view path, bool isFolder) { return icons->Describe(path, isFolder); };
}

}  // namespace tidemark::ui
