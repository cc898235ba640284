#pragma once
// The queues of the system's printers, as the print system keeps them. The printers Qt
// lists are the print system's queues (an instance "queue/instance" shares its queue), so
// the number of jobs waiting is read from the print system itself.

#include <memory>
#include <string>

namespace vl {

class IPrintQueues {
public:
    virtual ~IPrintQueues() = default;
    // The jobs not yet done (waiting, held or printing) in the named queue; negative when
    // the print system cannot tell (no such queue, no server).
    virtual int ActiveJobs(const std::string& queue) const = 0;
    // Hands a PDF file to the queue of `printer` ("queue" or "queue/instance", the instance's
    // own options applied) as one job on the named paper; the job's number, or 0 when the
    // print system refuses it. None is taken unless this is the print system.
    virtual int SubmitPdf(const std::string& printer, const std::string& path,
                          const std::string& title, const std::string& paper, bool landscape) const;
};

constexpr int kQueueWaitMs = 1500;

// The print system's own client library, asking the server at `host` (a name, an address
// or a socket path; empty: the system's own) and `port` (0: the system's), and giving up
// after `waitMs` to connect and as long again for an answer.
std::unique_ptr<IPrintQueues> CreateSystemPrintQueues(const std::string& host = {}, int port = 0,
                                                      int waitMs = kQueueWaitMs);

// The jobs waiting for a printer Qt lists: its queue's count, -1 when it cannot be read.
// A printer without a name has no queue (the print system would count every queue's jobs).
int QueuedJobsOf(const IPrintQueues& queues, const std::string& printer);

} // namespace vl
