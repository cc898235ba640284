#pragma once
// Container ids as a loaded workbook gives them out: every reader makes a repeated small id
// unique the same way, so that a workbook reads back with the same ids from every form.

#include <bitset>
#include <cstdint>

namespace vl {

// Which container ids up to 255 the document has given out; 0 is never given.
class ContainerIds {
public:
    ContainerIds() { taken_[0] = true; }
    // An id of 255 or less that is taken already becomes the lowest free one (it stays when
    // none is free); larger ids are kept as they are. A container without an id gets 256 when
    // no small one is free, so that it is saved with an id that reads back.
    void MakeUnique(uint16_t& id);

private:
    std::bitset<256> taken_;
};

} // namespace vl
