#pragma once
// A printer service of the tests: the system printers it lists (none by default, leaving the
// PDF printer alone as on a machine without printers) and its documents folder.

#include "print/printerservice.h"

#include <string>
#include <vector>

namespace vl::printtest {

class FakePrinters : public IPrinterService {
public:
    std::vector<PrinterEntry> SystemPrinters() const override { return printers; }
    std::string DocumentsFolder() const override { return folder; }

    std::vector<PrinterEntry> printers;
    std::string folder = "/tmp";
};

} // namespace vl::printtest
