#include "app/workbookwndapi.h"
#include "core/settings.h"
#include "ui/uiservices.h"

namespace vl {

IWorkbookWnd* IWorkbookWndFactory::CreateFromDialog(QWidget* parent) {
    QString path = UiServices().GetOpenFileName(QStringLiteral("Open"),
                                                QString::fromStdString(Profile().folder),
                                                QStringLiteral("Vorlane (*.vln *.vlb)"));
    return path.isEmpty() ? nullptr : Create(parent, path);
}

DocumentEntry* DocumentTable() {
    static DocumentEntry table[kMaxDocuments];
    return table;
}

bool AddDocumentEntry(IWorkbookWnd* window) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        DocumentEntry& e = DocumentTable()[i];
        if (e.workbook || !window->Workbook()) continue;
        e.workbook = window->Workbook();
        e.window = window;
        return true;
    }
    return false;
}

namespace {
std::function<void(IWorkbookWnd*)>& ReleaseListener() {
    static std::function<void(IWorkbookWnd*)> listener;
    return listener;
}
} // namespace

void SetDocumentReleaseListener(std::function<void(IWorkbookWnd*)> listener) {
    ReleaseListener() = std::move(listener);
}

void ReleaseDocumentEntry(IWorkbookWnd* window) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        DocumentEntry& e = DocumentTable()[i];
        if (e.window == window) {
            e = DocumentEntry{};
            if (ReleaseListener()) ReleaseListener()(window);
            return;
        }
    }
}

IWorkbookWnd* FindWorkbookWndByHandle(const QWidget* widget) {
    for (int i = 0; i < kMaxDocuments; ++i) {
        const DocumentEntry& e = DocumentTable()[i];
        if (e.workbook && e.window->Widget() == widget) return e.window;
    }
    return nullptr;
}

int OpenDocumentCount() {
    int n = 0;
    for (int i = 0; i < kMaxDocuments; ++i) n += DocumentTable()[i].workbook != nullptr;
    return n;
}

} // namespace vl
