#include "app/about/NamedPictures.h"

namespace xcr {

void NamedPictures::add(const QString& name, const QPixmap& picture) {
    pictures_.emplace_back(name, picture);
}

const QPixmap* NamedPictures::find(const QString& name) const {
    for (const auto& [pictureName, picture] : pictures_) {
        if (pictureName.compare(name, Qt::CaseInsensitive) == 0) {
            return &picture;
        }
    }
    return nullptr;
}

}  // namespace xcr
