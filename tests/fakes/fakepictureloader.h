#pragma once

#include "platform/pictureloader.h"

#include <QHash>

namespace examo::fakes {

// Pictures by path; unknown paths fail to load.
class FakePictureLoader : public PictureLoader {
public:
    QImage load(const QString& path) override {
        loaded.append(path);
        return pictures.value(path);
    }
    QHash<QString, QImage> pictures;
    QStringList loaded;
};

} // namespace examo::fakes
