#include "model/exchangesettings.h"

#include "platform/core/alloc.h"

namespace vl {

void InitTextFileSettings(TextFileSettings& settings) {
    settings = TextFileSettings{};
}

void ReleaseXBaseSaveOptions(XBaseSaveOptions& options) {
    FreeBlock(options.fieldDescriptors);
    options.fieldDescriptors = nullptr;
}

} // namespace vl
