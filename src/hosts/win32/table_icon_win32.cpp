#include "hosts/win32/table_icon_win32.h"

#include "res/resources.h"

HICON LoadTableIcon(uint32_t id, int size) {
    const LumikartaImageResource* image = LoadIconResource(id);
    if (image == nullptr || image->png == nullptr) {
        return nullptr;
    }
    // The icon reader takes PNG data as it takes an icon resource's bitmap; it does not write to it.
    return CreateIconFromResourceEx(const_cast<BYTE*>(image->png), image->size, TRUE, 0x00030000, size, size,
                                    LR_DEFAULTCOLOR);
}
