#pragma once
// A printer service of the tests: the system printers it lists (none by default, leaving the
// PDF printer alone as on a machine without printers), its documents folder, and a print
// system that keeps a copy of every job handed to it and takes it or refuses it.

#include "print/printerservice.h"

#include <QFile>
#include <string>
#include <vector>

namespace vl::printtest {

class FakePrinters : public IPrinterService {
public:
    std::vector<PrinterEntry> SystemPrinters() const override { return printers; }
    std::string DocumentsFolder() const override { return folder; }
    ErrorCode SubmitJob(const DeviceMode& mode, const std::string& pdfPath) const override {
        const std::string copy = folder + "/job-" + std::to_string(jobs.size() + 1) + ".pdf";
        QFile::remove(QString::fromStdString(copy));
        QFile::copy(QString::fromStdString(pdfPath), QString::fromStdString(copy));
        jobs.push_back({mode.printer.name, pdfPath, copy});
        return answer;
    }

    struct Job {
        std::string printer;
        std::string spooled; // the file handed over
        std::string copy;    // what it held
    };
    std::vector<PrinterEntry> printers;
    std::string folder = "/tmp";
    ErrorCode answer = kErrorNone;
    mutable std::vector<Job> jobs;
};

} // namespace vl::printtest
