#pragma once
// Makes the workbook windows the frame asks for: a new workbook, a file from the command
// line, the open dialog or the recent-file list. A file already open in a window brings
// that window forward instead.

#include "app/workbookwndapi.h"

#include <string>

namespace vl {

class CWorkbookWndFactory : public IWorkbookWndFactory {
public:
    IWorkbookWnd* Create(QWidget* parent, const QString& path) override;
    IWorkbookWnd* CreateFromDialog(QWidget* parent) override;
    IWorkbookWnd* CreateRecent(QWidget* parent, const QString& path) override;

    // The absolute form of a path as named, without resolving links.
    static std::string AbsolutePath(const QString& path);

private:
    IWorkbookWnd* CreateNew(QWidget* parent);
    IWorkbookWnd* Open(QWidget* parent, const std::string& path, uint8_t type, bool recent);
};

} // namespace vl
