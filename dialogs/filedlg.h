#pragma once
// The file chooser of Open, Save As, Save As Image and the image choosers: Qt's own dialog
// through the UI services, started in the program's default folder when none is given, and
// reporting the folder in which the user ended up. Also the filter lists and the folders and
// filters remembered while the program runs.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

class QWidget;

namespace vl {

struct FileFilter {
    const char* text;    // as the dialog shows it
    const char* pattern; // patterns separated by ";"
    uint8_t type;
    bool byExtension; // the type comes from the chosen file's extension
};

// The filters in the form of Qt's file dialog, which reads its patterns from the last
// parentheses of each entry and is told to show the text before them.
QString QtFilterList(const FileFilter* filters, std::size_t count);

// The picture types the image choosers offer (Background, the chart window, Insert Image).
const FileFilter* ImageFilters(std::size_t& count);

// The folder and filter last used by the open and save dialogs while the program runs.
struct FileDialogMemory {
    std::string lastFolder; // shared by both dialogs
    int openIndex = 1;
    int saveIndex = 1;
    // Save Selection As Image keeps its own folder; empty: the user's pictures folder.
    std::string imageFolder;
};
FileDialogMemory& DialogMemory();

class CFileDlg {
public:
    // `filters` as QtFilterList gives them, `filterIndex` from 1. An open dialog takes only
    // existing files; a save dialog asks before replacing one, and gives a name typed without
    // extension `defaultExtension` (when not empty).
    CFileDlg(bool open, const QString& title, const QString& defaultExtension,
             const QString& fileName, const QString& filters, int filterIndex,
             const QString& folder, QWidget* owner = nullptr);
    // IDOK with the chosen file, or IDCANCEL with the folder as it was given.
    int DoModal();
    QString GetFileName() const { return path_; }
    // The chosen file's folder, without a trailing separator.
    QString GetDirectory() const { return folder_; }
    int FilterIndex() const { return index_; }

private:
    bool open_;
    QString title_;
    QString extension_;
    QString path_;
    QString filters_;
    int index_;
    QString folder_;
};

} // namespace vl
