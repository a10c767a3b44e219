#include "core/common/Exceptions.h"

QString ErrorText(const std::exception& error) {
    if (const auto* own = dynamic_cast<const EQuilvaneError*>(&error))
        return own->message();
    return QString::fromLocal8Bit(error.what());
}
