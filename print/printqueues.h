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
};

// The print system's own client library.
std::unique_ptr<IPrintQueues> CreateSystemPrintQueues();

// The jobs waiting for a printer Qt lists: its queue's count, -1 when it cannot be read.
// A printer without a name has no queue (the print system would count every queue's jobs).
int QueuedJobsOf(const IPrintQueues& queues, const std::string& printer);

} // namespace vl
