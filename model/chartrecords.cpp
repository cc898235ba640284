#include "model/chartrecords.h"

#include "platform/core/bytes.h"

#include <cstring>

namespace vl {

void WriteChartSettingsRecord(uint8_t* p, const ChartSettings& s) {
    std::memset(p, 0, kChartSettingsRecordSize);
    const uint8_t options[8] = {s.type,         s.viewWidth,   s.viewHeight,     s.barSize,
                                s.stackBarSize, s.lineWidth3D, s.pieThickness3D, s.pieSplit};
    std::memcpy(p, options, 8);
    for (int t = 0; t < 2; ++t) {
        WriteColoredFont(p + 8 + 268 * t, s.titleFont[t]);
        WriteTextField(p + 148 + 268 * t, s.titleText[t], kChartTextSize);
    }
    p[544] = s.legendCode;
    WriteColoredFont(p + 548, s.legendFont);
    StoreI16(p + 688, s.rotationX);
    StoreI16(p + 690, s.rotationY);
    StoreI16(p + 692, s.rotationZ);
    StoreU16(p + 694, s.lightDirectionX);
    StoreU16(p + 696, s.lightDirectionY);
    StoreU16(p + 698, s.perspective);
    p[700] = s.planeXY;
    p[701] = s.planeXZ;
    p[702] = s.planeYZ;
    WriteInteriorFill(p + 704, s.planeFill);
    WriteBorderLine(p + 720, s.planeBorder);
    p[728] = s.seriesCount;
}

void ReadChartSettingsRecord(const uint8_t* p, ChartSettings& s) {
    uint8_t* options[8] = {&s.type,         &s.viewWidth,   &s.viewHeight,     &s.barSize,
                           &s.stackBarSize, &s.lineWidth3D, &s.pieThickness3D, &s.pieSplit};
    for (int i = 0; i < 8; ++i) *options[i] = p[i];
    for (int t = 0; t < 2; ++t) {
        ReadColoredFont(p + 8 + 268 * t, s.titleFont[t]);
        ReadTextField(p + 148 + 268 * t, s.titleText[t], kChartTextSize);
    }
    s.legendCode = p[544];
    ReadColoredFont(p + 548, s.legendFont);
    s.rotationX = LoadI16(p + 688);
    s.rotationY = LoadI16(p + 690);
    s.rotationZ = LoadI16(p + 692);
    s.lightDirectionX = LoadU16(p + 694);
    s.lightDirectionY = LoadU16(p + 696);
    s.perspective = LoadU16(p + 698);
    s.planeXY = p[700];
    s.planeXZ = p[701];
    s.planeYZ = p[702];
    ReadInteriorFill(p + 704, s.planeFill);
    ReadBorderLine(p + 720, s.planeBorder);
    s.seriesCount = p[728];
}

void WriteViewMatrixRecord(uint8_t* p, const float matrix[16]) {
    for (int i = 0; i < 16; ++i) StoreF32(p + 4 * i, matrix[i]);
}

void ReadViewMatrixRecord(const uint8_t* p, float matrix[16]) {
    for (int i = 0; i < 16; ++i) matrix[i] = LoadF32(p + 4 * i);
}

void WriteSeriesSettingsRecord(uint8_t* p, const SeriesSettings& s) {
    std::memset(p, 0, kSeriesSettingsRecordSize);
    p[0] = s.role;
    p[1] = s.reserved;
    StoreU16(p + 2, s.rangeFlags);
    p[4] = s.scale;
    WriteTextField(p + 5, s.name, kChartTextSize);
    WriteTextField(p + 133, s.relatedX, kChartTextSize);
    WriteTextField(p + 261, s.relatedSigma, kChartTextSize);
    WriteTextField(p + 389, s.dataArray, kDataArraySize);
    StoreF64(p + 1416, s.fromValue);
    StoreF64(p + 1424, s.stackLower);
    StoreF64(p + 1432, s.toValue);
    StoreF64(p + 1440, s.stackUpper);
    StoreU16(p + 1448, s.periods);
    StoreU16(p + 1450, s.subperiods);
    StoreU32(p + 1452, s.divisor);
    WriteStandardFormat(p + 1456, s.numberFormat);
    const uint8_t look[5] = {s.kind, s.stacked, s.relative, s.visible, s.labels};
    std::memcpy(p + 2520, look, 5);
    WriteColoredFont(p + 2528, s.font);
    WriteBorderLine(p + 2668, s.line);
    WriteInteriorFill(p + 2676, s.fill);
    p[2692] = s.symbol;
    WriteBorderLine(p + 2696, s.connectingLine);
    p[2704] = s.sliceFillCount;
    for (int k = 0; k < 16; ++k) WriteInteriorFill(p + 2708 + 16 * k, s.sliceFills[k]);
    p[2964] = s.axisType;
    StoreU16(p + 2966, s.axisFlags);
    WriteBorderLine(p + 2968, s.axisLine);
    WriteColoredFont(p + 2976, s.axisFont);
    WriteTextField(p + 3116, s.axisTitle, kChartTextSize);
    WriteBorderLine(p + 3248, s.majorGrid);
    WriteBorderLine(p + 3256, s.minorGrid);
    p[3264] = s.userGridCount;
    for (int k = 0; k < 16; ++k) {
        WriteBorderLine(p + 3268 + 8 * k, s.userGridLines[k]);
        StoreF64(p + 3400 + 8 * k, s.userGridValues[k]);
    }
}

void ReadSeriesSettingsRecord(const uint8_t* p, SeriesSettings& s) {
    s.role = p[0];
    s.reserved = p[1];
    s.rangeFlags = LoadU16(p + 2);
    s.scale = p[4];
    ReadTextField(p + 5, s.name, kChartTextSize);
    ReadTextField(p + 133, s.relatedX, kChartTextSize);
    ReadTextField(p + 261, s.relatedSigma, kChartTextSize);
    ReadTextField(p + 389, s.dataArray, kDataArraySize);
    s.fromValue = LoadF64(p + 1416);
    s.stackLower = LoadF64(p + 1424);
    s.toValue = LoadF64(p + 1432);
    s.stackUpper = LoadF64(p + 1440);
    s.periods = LoadU16(p + 1448);
    s.subperiods = LoadU16(p + 1450);
    s.divisor = LoadU32(p + 1452);
    ReadStandardFormat(p + 1456, s.numberFormat);
    uint8_t* look[5] = {&s.kind, &s.stacked, &s.relative, &s.visible, &s.labels};
    for (int i = 0; i < 5; ++i) *look[i] = p[2520 + i];
    ReadColoredFont(p + 2528, s.font);
    ReadBorderLine(p + 2668, s.line);
    ReadInteriorFill(p + 2676, s.fill);
    s.symbol = p[2692];
    ReadBorderLine(p + 2696, s.connectingLine);
    s.sliceFillCount = p[2704];
    for (int k = 0; k < 16; ++k) ReadInteriorFill(p + 2708 + 16 * k, s.sliceFills[k]);
    s.axisType = p[2964];
    s.axisFlags = LoadU16(p + 2966);
    ReadBorderLine(p + 2968, s.axisLine);
    ReadColoredFont(p + 2976, s.axisFont);
    ReadTextField(p + 3116, s.axisTitle, kChartTextSize);
    ReadBorderLine(p + 3248, s.majorGrid);
    ReadBorderLine(p + 3256, s.minorGrid);
    s.userGridCount = p[3264];
    for (int k = 0; k < 16; ++k) {
        ReadBorderLine(p + 3268 + 8 * k, s.userGridLines[k]);
        s.userGridValues[k] = LoadF64(p + 3400 + 8 * k);
    }
}

} // namespace vl
