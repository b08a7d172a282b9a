#include "hosts/qt/resource_icon.h"

#include <QPixmap>

#include "res/resources.h"

QIcon LoadAppIcon(uint32_t id) {
    const LumikartaImageResource* resource = LoadIconResource(id);
    QPixmap picture;
    if (!resource || !picture.loadFromData(resource->png, resource->size, "PNG")) {
        return {};
    }
    return QIcon(picture);
}
