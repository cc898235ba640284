#pragma once
// Little-endian loads and stores for records whose byte layout is a file format.
// Records are read and written field by field through these, never by copying a struct.

#include <cstdint>
#include <cstring>

namespace vl {

inline uint8_t LoadU8(const uint8_t* p) {
    return p[0];
}
inline uint16_t LoadU16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t LoadU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t LoadU64(const uint8_t* p) {
    return uint64_t(LoadU32(p)) | (uint64_t(LoadU32(p + 4)) << 32);
}
inline int16_t LoadI16(const uint8_t* p) {
    return int16_t(LoadU16(p));
}
inline int32_t LoadI32(const uint8_t* p) {
    return int32_t(LoadU32(p));
}
inline double LoadF64(const uint8_t* p) {
    uint64_t bits = LoadU64(p);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline float LoadF32(const uint8_t* p) {
    uint32_t bits = LoadU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void StoreU8(uint8_t* p, uint8_t v) {
    p[0] = v;
}
inline void StoreU16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline void StoreU64(uint8_t* p, uint64_t v) {
    StoreU32(p, uint32_t(v));
    StoreU32(p + 4, uint32_t(v >> 32));
}
inline void StoreI16(uint8_t* p, int16_t v) {
    StoreU16(p, uint16_t(v));
}
inline void StoreI32(uint8_t* p, int32_t v) {
    StoreU32(p, uint32_t(v));
}
inline void StoreF64(uint8_t* p, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    StoreU64(p, bits);
}
inline void StoreF32(uint8_t* p, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    StoreU32(p, bits);
}

} // namespace vl
