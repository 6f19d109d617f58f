#include "platform/QtFileDrag.h"

#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

namespace xcr {

bool QtFileDrag::buttonHeld() const {
    return QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

void QtFileDrag::drag(QWidget& source, const std::string& uriList) {
    // Set as bytes, not as QUrls: a name that is not UTF-8 would not survive QString.
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), QByteArray::fromStdString(uriList));
    auto* drag = new QDrag(&source);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

}  // namespace xcr
