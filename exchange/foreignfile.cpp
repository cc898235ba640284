#include "exchange/foreignfile.h"

#include <cstring>
#include <unistd.h>

namespace vl {

namespace {

constexpr int kTemporaryNameTries = 100;

bool OpenTemporary(CFileStream& stream, const std::string& target) {
    const std::string::size_type slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        const std::string name =
            dir + "." + base + ".~" + std::to_string(getpid()) + "." + std::to_string(i);
        if (stream.Open(name.c_str(), "w+bx", false, kFileBufferSize)) return true;
        if (!CFileStream::FileExists(name.c_str())) return false;
    }
    return false;
}

} // namespace

std::string_view FileNameOfPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
    const std::size_t nameStart = path.size() - FileNameOfPath(path).size();
    const std::size_t dot = path.rfind('.');
    std::string out(
        path.substr(0, dot != std::string_view::npos && dot >= nameStart ? dot : path.size()));
    out += extension;
    return out;
}

CWorksheet* StartImportWorksheet(CWorkbook& workbook) {
    const std::string name(FileNameOfPath(workbook.stream.GetPath()));
    auto sheet = NewBlockObject<CWorksheet>(name.c_str(), 1);
    if (!sheet) {
        workbook.error = kErrorWorksheetMemory;
        return nullptr;
    }
    TreeHead& tree = workbook.tree;
    FreeTreeItemList(tree.first);
    tree = TreeHead{};
    InsertTreeItem(tree, sheet.get(), nullptr);
    workbook.currentItem = sheet.get();
    workbook.currentCells = &sheet->cells;
    tree.active = sheet.get();
    return sheet.release();
}

bool CByteReader::Fill() {
    const int32_t n = stream_.Read(buffer_, int32_t(sizeof buffer_));
    pos_ = 0;
    end_ = n > 0 ? uint32_t(n) : 0;
    return end_ > 0;
}

uint32_t CByteReader::Read(uint8_t* dest, uint32_t n) {
    uint32_t done = 0;
    while (done < n) {
        if (pos_ == end_ && !Fill()) break;
        const uint32_t take = std::min(n - done, end_ - pos_);
        std::memcpy(dest + done, buffer_ + pos_, take);
        pos_ += take;
        done += take;
    }
    return done;
}

bool CByteWriter::Flush() {
    if (!out_.empty() && !book_.stream.Write(out_.data(), int32_t(out_.size()))) {
        book_.error = book_.stream.GetError() ? book_.stream.GetError() : uint8_t(kStreamWrite);
        return false;
    }
    out_.clear();
    book_.error = book_.stream.GetError();
    return book_.error == kErrorNone;
}

bool SaveAside(CWorkbook& workbook, const char* path,
               const std::function<bool(CWorkbook&)>& write) {
    CFileStream document;
    if (!path || !OpenTemporary(document, path)) {
        workbook.error = document.GetError() ? document.GetError() : uint8_t(kStreamOpenWrite);
        return false;
    }
    // The new file takes the document's place; the old one waits in `document`.
    workbook.stream.Swap(document);
    workbook.error = kErrorNone;
    bool ok = write(workbook);
    if (ok && !workbook.stream.Flush()) {
        workbook.error = workbook.stream.GetError();
        ok = false;
    }
    if (ok && !workbook.stream.RenameTo(path)) {
        workbook.error = workbook.stream.GetError();
        ok = false;
    }
    if (!ok) {
        if (workbook.error == kErrorNone) workbook.error = kStreamWrite;
        const std::string temporary = workbook.stream.GetPath();
        workbook.stream.Close();
        CFileStream::DeleteFile(temporary.c_str(), nullptr);
        workbook.stream.Swap(document);
        return false;
    }
    if (document.IsOpen()) document.Close();
    return true;
}

} // namespace vl
