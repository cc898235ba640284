#include "print/printqueues.h"

#include <cups/cups.h>

namespace vl {

namespace {

// The jobs are read while a window waits: a print server that cannot be reached or does
// not answer costs this long, not the library's own minute-long timeouts.
class CSystemPrintQueues : public IPrintQueues {
public:
    CSystemPrintQueues(std::string host, int port, int waitMs)
        : host_(std::move(host)), port_(port), waitMs_(waitMs) {}
    int ActiveJobs(const std::string& queue) const override {
        int cancel = 0;
        const char* host = host_.empty() ? cupsServer() : host_.c_str();
        http_t* http = httpConnect2(host, port_ ? port_ : ippPort(), nullptr, AF_UNSPEC,
                                    cupsEncryption(), 1, waitMs_, &cancel);
        if (!http) return -1;
        // Returning 0 from the callback gives up the read once the wait has passed.
        httpSetTimeout(
            http, waitMs_ / 1000.0, [](http_t*, void*) { return 0; }, nullptr);
        cups_job_t* jobs = nullptr;
        const int count = cupsGetJobs2(http, &jobs, queue.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
        if (count > 0) cupsFreeJobs(count, jobs);
        httpClose(http);
        return count;
    }

    int SubmitPdf(const std::string& printer, const std::string& path, const std::string& title,
                  const std::string& paper, bool landscape) const override {
        const std::string queue = printer.substr(0, printer.find('/'));
        if (queue.empty()) return 0;
        const size_t slash = printer.find('/');
        const std::string instance = slash == std::string::npos ? "" : printer.substr(slash + 1);
        cups_option_t* options = nullptr;
        int count = 0;
        if (cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(),
                                                 instance.empty() ? nullptr : instance.c_str())) {
            for (int i = 0; i < dest->num_options; ++i)
                count =
                    cupsAddOption(dest->options[i].name, dest->options[i].value, count, &options);
            cupsFreeDests(1, dest);
        }
        if (!paper.empty()) count = cupsAddOption("media", paper.c_str(), count, &options);
        if (landscape) count = cupsAddOption("landscape", "", count, &options);
        const int job = cupsPrintFile(queue.c_str(), path.c_str(), title.c_str(), count, options);
        cupsFreeOptions(count, options);
        return job;
    }

private:
    std::string host_;
    int port_;
    int waitMs_;
};

} // namespace

std::unique_ptr<IPrintQueues> CreateSystemPrintQueues(const std::string& host, int port,
                                                      int waitMs) {
    return std::make_unique<CSystemPrintQueues>(host, port, waitMs);
}

int IPrintQueues::SubmitPdf(const std::string&, const std::string&, const std::string&,
                            const std::string&, bool) const {
    return 0;
}

int QueuedJobsOf(const IPrintQueues& queues, const std::string& printer) {
    const std::string queue = printer.substr(0, printer.find('/'));
    if (queue.empty()) return -1;
    const int count = queues.ActiveJobs(queue);
    return count < 0 ? -1 : count;
}

} // namespace vl
