#pragma once
// Binary bodies built field by field, so that tests can put any count, length or index at
// its limit or one past it, and write the bodies of older format versions.

#include "model/chartrecords.h"
#include "model/container.h"
#include "model/sheetsettings.h"
#include "model/styles.h"
#include "platform/core/bytes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vl::filestest {

class BodyBuilder {
public:
    explicit BodyBuilder(uint8_t version = 3) : version_(version) {}

    BodyBuilder& U8(uint8_t v) { return Raw(&v, 1); }
    BodyBuilder& U16(uint16_t v) {
        uint8_t b[2];
        StoreU16(b, v);
        return Raw(b, 2);
    }
    BodyBuilder& U32(uint32_t v) {
        uint8_t b[4];
        StoreU32(b, v);
        return Raw(b, 4);
    }
    BodyBuilder& Raw(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
        return *this;
    }
    BodyBuilder& Text(const std::string& s) { return Raw(s.data(), s.size()); }
    BodyBuilder& Zeros(size_t n) {
        bytes_.insert(bytes_.end(), n, 0);
        return *this;
    }

    // Document fields with empty texts and default panes.
    BodyBuilder& Head() { return Zeros(178).U16(1).U16(100).U16(0).U16(100); }
    BodyBuilder& NoLists() { return version_ >= 3 ? U16(0) : U32(0); }
    BodyBuilder& Fonts(int n) {
        U8(uint8_t(n));
        return Zeros(size_t(n) * kFontRecordSize);
    }
    BodyBuilder& Styles(int n, const StyleRecord& style = StyleRecord{}) {
        U16(uint16_t(n));
        uint8_t p[kStyleRecordSize];
        WriteStyleRecord(p, style);
        for (int i = 0; i < n; ++i) Raw(p, sizeof p);
        return *this;
    }
    // Lists, one font, one style and no inspected cells.
    BodyBuilder& Tables() { return NoLists().Fonts(1).Styles(1).U32(0); }
    BodyBuilder& Item(const std::string& name, uint8_t type, uint8_t flag = 0, uint16_t level = 1) {
        U8(uint8_t(name.size()));
        Text(name);
        return U16(level).U8(type).U8(flag);
    }
    BodyBuilder& ColumnsAllEqual() {
        if (version_ >= 2) return U16(kMaxColumns).Zeros(6);
        return U16(kMaxColumns).U32(0);
    }
    BodyBuilder& PageSetup(const PageSetupRecord& page) {
        uint8_t p[kPageSetupRecordSize];
        WritePageSetupRecord(p, page);
        return Raw(p, sizeof p);
    }
    BodyBuilder& View(const ViewSettingsRecord& view) {
        uint8_t p[kViewSettingsRecordSize];
        WriteViewSettingsRecord(p, view);
        return Raw(p, sizeof p);
    }
    BodyBuilder& DefaultSettings() {
        PageSetupRecord page;
        InitPageSetup(page);
        ViewSettingsRecord view;
        InitViewSettings(view);
        return PageSetup(page).View(view);
    }
    // The parts of a worksheet after its containers, all empty.
    BodyBuilder& EmptySheetTail() {
        return ColumnsAllEqual().U32(0).U32(0).U32(0).DefaultSettings();
    }
    BodyBuilder& Container(const ContainerSettings& settings) {
        uint8_t p[kContainerSettingsRecordSize];
        WriteContainerSettingsRecord(p, settings);
        return Raw(p, sizeof p);
    }
    BodyBuilder& Chart(const ChartSettings& settings, bool matrix = true) {
        uint8_t p[kChartSettingsRecordSize];
        WriteChartSettingsRecord(p, settings);
        Raw(p, sizeof p);
        if (!matrix) return *this;
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        uint8_t m[kViewMatrixRecordSize];
        WriteViewMatrixRecord(m, identity);
        return Raw(m, sizeof m);
    }
    BodyBuilder& Series(const SeriesSettings& settings) {
        uint8_t p[kSeriesSettingsRecordSize];
        WriteSeriesSettingsRecord(p, settings);
        return Raw(p, sizeof p);
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    uint8_t Version() const { return version_; }

private:
    uint8_t version_;
    std::vector<uint8_t> bytes_;
};

} // namespace vl::filestest
