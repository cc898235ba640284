#pragma once
// Small workbook files changed at one random byte each, read by the binary-body and
// version-6 readers: every file that loads must save as XML and as binary and read back, the
// binary form with every record, the XML form with the records it carries. Shared by the
// tests (some hundreds of files) and a benchmark (thousands).

#include <cstdint>
#include <string>
#include <vector>

namespace vl::mutations {

using Bytes = std::vector<uint8_t>;

// A small version-6 file: styles, fonts, a list, numbers, texts, formulas, a chart and a
// page setup, built by the tests' writer.
Bytes SmallV6File();
// The binary body of that file once loaded: the same things as the binary form holds them.
Bytes SmallBody();

// Why the unchanged file does not load and read back whole; empty when it does.
std::string SeedFault(const Bytes& file, bool v6, const std::string& folder);

struct Outcome {
    int tried = 0;
    int loaded = 0;
    int faults = 0;
    std::string first; // the first few faults, each with the byte and value that made it
};

// What each loaded file must keep: its records (`reloadcheck::RecordFault`: the binary form
// reads back every record byte for byte, and the XML form the same records as far as it
// carries them, compared by `reloadcheck::CarriedRecordsFault`), or only the XML text (a
// second XML save gives the same bytes, and the binary form reads back to the same XML).
enum class Keep { kRecords, kXmlText };

// `count` copies of `seed`, each with one byte (drawn from `randomSeed`) set to a random other
// value, read by the version-6 reader (`v6`) or the binary-body reader, in `folder`.
Outcome MutateAndReload(const Bytes& seed, bool v6, uint32_t randomSeed, int count,
                        const std::string& folder, Keep keep = Keep::kRecords);

} // namespace vl::mutations
