#ifndef PLATFORM_QTFILEDRAG_H
#define PLATFORM_QTFILEDRAG_H

#include "platform/FileDrag.h"

namespace xcr {

class QtFileDrag : public FileDrag {
public:
    bool buttonHeld() const override;
    void drag(QWidget& source, const std::string& uriList) override;
};

}  // namespace xcr

#endif  // PLATFORM_QTFILEDRAG_H
