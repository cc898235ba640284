#include "dialogs/filedlg.h"

#include "core/settings.h"
#include "ui/uiservices.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <iterator>

namespace vl {

QString QtFilterList(const FileFilter* filters, std::size_t count) {
    QStringList list;
    for (std::size_t i = 0; i < count; ++i) {
        const QString patterns = QString::fromLatin1(filters[i].pattern).replace(';', ' ');
        list << QStringLiteral("%1 (%2)").arg(QString::fromLatin1(filters[i].text), patterns);
    }
    return list.join(QStringLiteral(";;"));
}

const FileFilter* ImageFilters(std::size_t& count) {
    static constexpr FileFilter kImages[] = {
        {"PNG (*.png)", "*.png", 0, false},
        {"JPEG (*.jpeg)", "*.jpg;*.jpeg", 0, false},
        {"BMP (*.bmp)", "*.bmp", 0, false},
        {"All Files (*.*)", "*", 0, false},
    };
    count = std::size(kImages);
    return kImages;
}

FileDialogMemory& DialogMemory() {
    static FileDialogMemory memory;
    return memory;
}

namespace {

// A folder that is not there (a user without a Pictures folder) would be taken for a file
// name in the folder above it: the dialog starts in the nearest folder that is there.
QString ExistingFolder(const QString& folder) {
    if (folder.isEmpty()) return folder;
    QString at = QDir::cleanPath(folder);
    while (!QFileInfo(at).isDir()) {
        const QString up = QFileInfo(at).absolutePath();
        if (up == at) return QDir::homePath();
        at = up;
    }
    return at;
}

} // namespace

CFileDlg::CFileDlg(bool open, const QString& title, const QString& defaultExtension,
                   const QString& fileName, const QString& filters, int filterIndex,
                   const QString& folder, QWidget*)
    : open_(open), title_(title), extension_(defaultExtension), path_(fileName), filters_(filters),
      index_(filterIndex), folder_(folder) {}

int CFileDlg::DoModal() {
    QString start = folder_;
    if (start.isEmpty()) start = QString::fromStdString(Profile().folder);
    start = ExistingFolder(start);
    if (!path_.isEmpty()) start = start.isEmpty() ? path_ : QDir(start).filePath(path_);
    int index = index_;
    QString chosen = open_ ? UiServices().ChooseOpenFile(title_, start, filters_, index)
                           : UiServices().ChooseSaveFile(title_, start, filters_, index);
    if (chosen.isEmpty()) return IDCANCEL;
    const QFileInfo info(chosen);
    if (!open_ && !extension_.isEmpty() && info.suffix().isEmpty())
        chosen += QLatin1Char('.') + extension_;
    path_ = chosen;
    index_ = index;
    folder_ = QDir::cleanPath(info.absolutePath());
    return IDOK;
}

} // namespace vl
