#include "files/containerids.h"

namespace vl {

void ContainerIds::MakeUnique(uint16_t& id) {
    if (id > 255) return;
    if (taken_[id]) {
        uint16_t free = 1;
        while (free <= 255 && taken_[free]) ++free;
        if (free <= 255)
            id = free;
        else if (id == 0)
            id = 256;
    }
    if (id <= 255) taken_[id] = true;
}

} // namespace vl
