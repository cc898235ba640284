#include "automation/documentservices.h"

namespace vl {

namespace {

IDocumentServices*& Installed() {
    static IDocumentServices* services = nullptr;
    return services;
}

} // namespace

IDocumentServices* GetDocumentServices() {
    return Installed();
}

void SetDocumentServices(IDocumentServices* services) {
    Installed() = services;
}

} // namespace vl
