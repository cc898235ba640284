#pragma once
// The settings records of the text-file and xBase exchange that a workbook keeps: the model
// builds and releases them, the exchange gives them meaning.

#include "model/cellrecord.h"

#include <cstdint>

namespace vl {

struct TextFileSettings {
    uint8_t separator = ',';
    uint8_t useFixedColWidths = 0;
    uint16_t columnWidths[kMaxColumns] = {};
    uint8_t quotingSymbol = '"';
    uint8_t encoding = 2; // 1 UTF-8, 2 ANSI, 3 OEM
    uint8_t conversion = 1;
};

struct XBaseSaveOptions {
    uint8_t header[32] = {};
    uint8_t* fieldDescriptors = nullptr; // 32-byte descriptors from AllocBlock, owned
    uint8_t encoding = 2;
    uint8_t format = 4;
};

void InitTextFileSettings(TextFileSettings& settings);
// Frees the field descriptors.
void ReleaseXBaseSaveOptions(XBaseSaveOptions& options);

} // namespace vl
