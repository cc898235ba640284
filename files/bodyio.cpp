#include "files/bodyio.h"

#include "platform/core/bytes.h"

#include <climits>
#include <cstring>

namespace vl {

void CStreamSink::Put(const uint8_t* bytes, uint32_t n) {
    stream_.WriteEncrypt(bytes, int32_t(n), ctx_);
}

void CBodyOut::Bytes(const void* bytes, uint32_t n) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    if (used_ + n > kBlock) Flush();
    if (n >= kBlock) {
        sink_.Put(p, n);
        return;
    }
    std::memcpy(block_ + used_, p, n);
    used_ += n;
}

void CBodyOut::U16(uint16_t v) {
    uint8_t b[2];
    StoreU16(b, v);
    Bytes(b, 2);
}

void CBodyOut::U32(uint32_t v) {
    uint8_t b[4];
    StoreU32(b, v);
    Bytes(b, 4);
}

void CBodyOut::Flush() {
    if (used_) sink_.Put(block_, used_);
    used_ = 0;
}

bool CBodyIn::Bytes(void* dest, uint32_t n) {
    if (n == 0) return true;
    if (n > uint32_t(INT32_MAX)) return false;
    return stream_.ReadDecrypt(dest, int32_t(n), ctx_) == int32_t(n);
}

bool CBodyIn::U16(uint16_t& v) {
    uint8_t b[2];
    if (!Bytes(b, 2)) return false;
    v = LoadU16(b);
    return true;
}

bool CBodyIn::U32(uint32_t& v) {
    uint8_t b[4];
    if (!Bytes(b, 4)) return false;
    v = LoadU32(b);
    return true;
}

} // namespace vl
