// History entries of the composer as a settings profile may bring them: any index, count and
// argument bytes go through the checks, and usable ones through the text builders.
#include "functions/general/composertext.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    vl::ComposerFormula entry;
    entry.index = uint16_t(data[0] | (data[1] << 8));
    entry.argumentCount = data[2];
    entry.arguments.assign(reinterpret_cast<const char*>(data + 3),
                           std::min<size_t>(size - 3, 1100));
    if (!vl::UsableHistoryEntry(entry)) return 0;
    const std::string text = vl::HistoryText(entry);
    auto values = vl::UnpackArguments(entry);
    const auto& row = vl::FunctionCatalogue()[entry.index];
    vl::BuildPrototypeText(row, entry.argumentCount, entry.argumentCount / 2);
    vl::SetArgumentValue(values, int(values.size()) / 2, text);
    std::vector<vl::ComposerFormula> history(1, entry);
    std::vector<std::string> texts(1, text);
    vl::AddHistoryEntry(history, texts, vl::PackHistoryEntry(entry.index, values, 2), text);
    return 0;
}
