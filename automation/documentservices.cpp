#include "automation/documentservices.h"

namespace vl {

namespace {
IDocumentServices* g_services = nullptr;
} // namespace

void SetDocumentServices(IDocumentServices* services) {
    g_services = services;
}

IDocumentServices* DocumentServices() {
    return g_services;
}

} // namespace vl
