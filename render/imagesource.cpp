#include "render/imagesource.h"

#include "model/cellrecord.h"
#include "platform/core/cp1252.h"
#include "platform/core/imagecodecs.h"

#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <string_view>

namespace vl {

namespace {

// Case-blind: the text starts with the prefix.
bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (!*text || CharUpper1252(*text) != CharUpper1252(*prefix)) return false;
    return true;
}

bool Refused(const char* name) {
    for (const char* p : {"http://", "www.", "ftp://", "inline://"})
        if (StartsWithNoCase(name, p)) return true;
    return false;
}

// Names that differ only in letter case stand for one picture, as they do where workbooks are
// shared; but where the file system tells two such names apart and both files exist, showing
// one file's picture for the other would be wrong.
bool TwoFiles(const char* a, const char* b) {
    std::error_code ea, eb, same;
    if (!std::filesystem::exists(a, ea) || !std::filesystem::exists(b, eb)) return false;
    return !std::filesystem::equivalent(a, b, same) && !same;
}

} // namespace

bool DecodeImageEntry(CWorkbook& workbook, ImageListEntry& e) {
    if (e.decoded) return true;
    if (!e.loaded) return false;
    const char* dot = std::strrchr(e.name, '.');
    const uint8_t* data = e.data.data();
    const size_t size = e.data.size();
    ErrorCode error = kErrorImageFormat;
    if (!dot) {
    } else if (StartsWithNoCase(dot, ".BMP")) {
        e.decoded = LoadBmp(data, size, &error);
    } else if (StartsWithNoCase(dot, ".JPG") || StartsWithNoCase(dot, ".JPEG")) {
        e.decoded = LoadJpeg(data, size, &error);
    } else if (StartsWithNoCase(dot, ".PNG")) {
        e.decoded = LoadPng(data, size, false, GetSystemColor(kColorWindow), &error);
    }
    if (!e.decoded) workbook.imageError = error;
    return bool(e.decoded);
}

ImageListEntry& FindOrAddImage(CWorkbook& workbook, const char* name) {
    // An entry keeps at most 255 characters, so a longer name is known by that much of it.
    const std::string key(std::string_view(name).substr(0, sizeof(ImageListEntry::name) - 1));
    ImageListEntry* sameName = nullptr;
    for (auto& e : workbook.images) {
        if (key == e->name) return *e;
        if (!sameName && CompareNoCase(e->name, key.c_str()) == 0) sameName = e.get();
    }
    if (sameName && !TwoFiles(sameName->name, key.c_str())) return *sameName;
    auto e = std::make_unique<ImageListEntry>();
    std::memcpy(e->name, key.data(), key.size());
    workbook.images.insert(workbook.images.begin(), std::move(e));
    return *workbook.images.front();
}

bool LoadImageSource(CWorkbook& workbook, ImageListEntry& e) {
    if (e.loaded) return true;
    if (Refused(e.name)) {
        workbook.imageError = kErrorImageProtocol;
        return false;
    }
    ErrorCode status = kErrorNone;
    const int32_t size = CFileStream::GetFileSize(e.name, &status);
    CFileStream stream;
    if (size < 0 || !stream.Open(e.name, "rb", false, kFileBufferSize)) {
        workbook.imageError = size < 0 && status ? status : stream.GetError();
        if (!workbook.imageError) workbook.imageError = kStreamOpenRead;
        return false;
    }
    std::vector<uint8_t> bytes;
    try {
        if (uint64_t(size) > kMaxImageBytes) throw std::bad_alloc();
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        workbook.imageError = kErrorImageMemory;
        return false;
    }
    if (size > 0 && stream.Read(bytes.data(), size) != size) {
        workbook.imageError = stream.ErrorOr(kStreamRead);
        return false;
    }
    stream.Close();
    e.data = std::move(bytes);
    e.loaded = true;
    return true;
}

const PackedDib* LoadNamedImage(CWorkbook& workbook, const char* name) {
    ImageListEntry& e = FindOrAddImage(workbook, name);
    if (!LoadImageSource(workbook, e)) return nullptr;
    return DecodeImageEntry(workbook, e) ? &e.decoded : nullptr;
}

} // namespace vl
