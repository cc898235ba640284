// History entries of the composer as a settings profile may bring them: any index, count and
// argument bytes go through the checks, and usable ones through the text builders, which
// must keep their bounds and spans and give back entries that the checks take again.
#include "functions/general/composertext.h"
#include "harness.h"

#include <cstddef>
#include <cstdint>

namespace {

void RequireSpan(const vl::ComposedText& t) {
    vl::fuzz::Require(t.text.size() <= vl::kMaxComposerText);
    vl::fuzz::Require(t.start <= t.end && t.end <= t.text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using vl::fuzz::Require;
    if (size < 4) return 0;
    vl::ComposerFormula entry;
    entry.index = uint16_t(data[0] | (data[1] << 8));
    entry.argumentCount = data[2];
    const int current = data[3] % (vl::kMaxComposerArguments + 2);
    entry.arguments.assign(reinterpret_cast<const char*>(data + 4),
                           std::min<size_t>(size - 4, 1100));
    const bool usable = vl::UsableHistoryEntry(entry);
    Require(usable == !vl::HistoryText(entry).empty());
    if (!usable) return 0;
    const std::string text = vl::HistoryText(entry);
    Require(text.size() <= vl::kMaxComposerText);
    auto values = vl::UnpackArguments(entry);
    Require(values.size() == entry.argumentCount);
    const auto& row = vl::FunctionCatalogue()[entry.index];
    RequireSpan(vl::BuildPrototypeText(row, entry.argumentCount, current));
    RequireSpan(vl::BuildFormulaText(row, values, entry.argumentCount, current));
    vl::SetArgumentValue(values, current, text);
    std::size_t total = 0;
    for (const std::string& v : values) total += v.size();
    Require(total <= vl::kMaxComposerText);
    const vl::ComposerFormula packed = vl::PackHistoryEntry(entry.index, values, current + 1);
    Require(vl::UsableHistoryEntry(packed));
    std::vector<vl::ComposerFormula> history(1, entry);
    std::vector<std::string> texts(1, text);
    vl::AddHistoryEntry(history, texts, packed, vl::HistoryText(packed));
    Require(history.size() == texts.size() && !history.empty() && history.size() <= 2);
    return 0;
}
