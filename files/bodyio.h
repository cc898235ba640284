#pragma once
// The byte channels of the binary workbook body: the writer hands its bytes to a sink (the
// stream, with or without a key, or a running MD5 for the digest), staged in blocks; the
// reader takes exact counts from the stream and notes a body that ends too soon.

#include "platform/core/crypto.h"
#include "platform/core/filestream.h"

#include <cstdint>

namespace vl {

class CBodySink {
public:
    virtual ~CBodySink() = default;
    virtual void Put(const uint8_t* bytes, uint32_t n) = 0;
};

// Writes through the stream; a failed write shows in the stream's status.
class CStreamSink : public CBodySink {
public:
    CStreamSink(CFileStream& stream, CryptoContext* ctx) : stream_(stream), ctx_(ctx) {}
    void Put(const uint8_t* bytes, uint32_t n) override;

private:
    CFileStream& stream_;
    CryptoContext* ctx_;
};

class CDigestSink : public CBodySink {
public:
    void Put(const uint8_t* bytes, uint32_t n) override { md5_.Update(bytes, n); }
    void Final(uint8_t out[kMd5Size]) { md5_.Final(out); }

private:
    CMd5 md5_;
};

// Little-endian fields collected into blocks before they reach the sink.
class CBodyOut {
public:
    explicit CBodyOut(CBodySink& sink) : sink_(sink) {}
    CBodyOut(const CBodyOut&) = delete;
    CBodyOut& operator=(const CBodyOut&) = delete;

    void Bytes(const void* bytes, uint32_t n);
    void U8(uint8_t v) { Bytes(&v, 1); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void Flush();

private:
    static constexpr uint32_t kBlock = 1u << 16;
    CBodySink& sink_;
    uint32_t used_ = 0;
    uint8_t block_[kBlock];
};

class CBodyIn {
public:
    CBodyIn(CFileStream& stream, CryptoContext* ctx) : stream_(stream), ctx_(ctx) {}

    // False when fewer than `n` bytes were left.
    bool Bytes(void* dest, uint32_t n);
    bool U8(uint8_t& v) { return Bytes(&v, 1); }
    bool U16(uint16_t& v);
    bool U32(uint32_t& v);
    bool AtEnd() { return stream_.IsEof(); }
    CFileStream& Stream() { return stream_; }

private:
    CFileStream& stream_;
    CryptoContext* ctx_;
};

} // namespace vl
