#include "print/printqueues.h"

#include <cups/cups.h>

namespace vl {

namespace {

class CSystemPrintQueues : public IPrintQueues {
public:
    int ActiveJobs(const std::string& queue) const override {
        cups_job_t* jobs = nullptr;
        const int count =
            cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
        if (count > 0) cupsFreeJobs(count, jobs);
        return count;
    }
};

} // namespace

std::unique_ptr<IPrintQueues> CreateSystemPrintQueues() {
    return std::make_unique<CSystemPrintQueues>();
}

int QueuedJobsOf(const IPrintQueues& queues, const std::string& printer) {
    const std::string queue = printer.substr(0, printer.find('/'));
    if (queue.empty()) return -1;
    const int count = queues.ActiveJobs(queue);
    return count < 0 ? -1 : count;
}

} // namespace vl
