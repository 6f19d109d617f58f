#include "preview/BitmapLoader.h"

#include <QByteArray>

#include "archive/os/Failure.h"
#include "archive/os/File.h"
#include "preview/BmpHeaderCheck.h"

namespace xcr {

namespace {
constexpr const char* kNotValid = "Bitmap image is not valid";

QByteArray readWhole(const std::string& path) {
    File file = File::open(path, File::Access::Read);
    QByteArray bytes(static_cast<qsizetype>(file.length()), Qt::Uninitialized);
    file.readExact(bytes.data(), static_cast<std::size_t>(bytes.size()));
    return bytes;
}
}  // namespace

QImage loadBitmapFile(const std::string& path) {
    const QByteArray bytes = readWhole(path);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    switch (checkBmpHeader(data, static_cast<std::size_t>(bytes.size()))) {
        case BmpHeaderCheck::Empty:
            return QImage();
        case BmpHeaderCheck::NotValid:
            throw Failure(kNotValid);
        case BmpHeaderCheck::Truncated:
            throw Failure(kStreamReadError);
        case BmpHeaderCheck::Valid:
            break;
    }
    QImage image = QImage::fromData(bytes, "BMP");
    if (image.isNull()) {
        throw Failure(kNotValid);
    }
    return image;
}

}  // namespace xcr
