#ifndef APP_ABOUT_NAMEDPICTURES_H
#define APP_ABOUT_NAMEDPICTURES_H

#include <QPixmap>
#include <QString>
#include <utility>
#include <vector>

namespace xcr {

// The popup's pictures in their order, found by name without regard to case.
class NamedPictures {
public:
    void add(const QString& name, const QPixmap& picture);

    // The first picture with this name, or nullptr.
    const QPixmap* find(const QString& name) const;

private:
    std::vector<std::pair<QString, QPixmap>> pictures_;
};

}  // namespace xcr

#endif  // APP_ABOUT_NAMEDPICTURES_H
