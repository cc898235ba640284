// The jobs waiting in a system printer's queue: read from the print system by queue name,
// and "cannot tell" for every way the read fails.

#include "print/printerservice.h"
#include "print/printqueues.h"
#include "printserverscope.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace vl {

namespace {

// Queues of known lengths; any other name is one the print system does not know.
class FakeQueues : public IPrintQueues {
public:
    int ActiveJobs(const std::string& queue) const override {
        asked.push_back(queue);
        const auto it = lengths.find(queue);
        return it == lengths.end() ? -1 : it->second;
    }
    std::map<std::string, int> lengths{{"Office", 3}, {"Idle", 0}, {"Confused", -7}};
    mutable std::vector<std::string> asked;
};

TEST(PrintQueuesTest, CountsComeFromThePrinterQueue) {
    const struct {
        const char* printer;
        const char* asked; // nullptr: the print system is not asked at all
        int jobs;
    } cases[] = {
        {"Office", "Office", 3},
        {"Office/duplex", "Office", 3}, // an instance shares its queue's jobs
        {"Idle", "Idle", 0},            // an empty queue is a count, not "unknown"
        {"Gone", "Gone", -1},
        {"Confused", "Confused", -1}, // any failure reads as unknown
        {"", nullptr, -1},            // no name would count every queue's jobs
        {"/duplex", nullptr, -1},
    };
    for (const auto& c : cases) {
        FakeQueues queues;
        EXPECT_EQ(QueuedJobsOf(queues, c.printer), c.jobs) << c.printer;
        const std::vector<std::string> expected =
            c.asked ? std::vector<std::string>{c.asked} : std::vector<std::string>{};
        EXPECT_EQ(queues.asked, expected) << c.printer;
    }
}

// The system's printer service reads through the queues it is given; the PDF printer
// writes at once and never asks.
TEST(PrintQueuesTest, SystemServiceAsksItsQueues) {
    auto owned = std::make_unique<FakeQueues>();
    FakeQueues& queues = *owned;
    const auto service = CreateSystemPrinterService(std::move(owned));
    EXPECT_EQ(service->QueuedJobs("Office/duplex"), 3);
    EXPECT_EQ(service->QueuedJobs("Gone"), -1);
    EXPECT_EQ(PrintJobs(*service, PdfPrinter()), 0);
    PrinterEntry office;
    office.name = "Office";
    EXPECT_EQ(PrintJobs(*service, office), 3);
    EXPECT_EQ(queues.asked, (std::vector<std::string>{"Office", "Gone", "Office"}));
}

// Queues that take a job or refuse it, and keep what they were handed.
class HandOverQueues : public IPrintQueues {
public:
    explicit HandOverQueues(int answer) : answer_(answer) {}
    int ActiveJobs(const std::string&) const override { return -1; }
    int SubmitPdf(const std::string& printer, const std::string& path, const std::string& title,
                  const std::string& paper, bool landscape) const override {
        handed.push_back(printer + "|" + path + "|" + title + "|" + paper +
                         (landscape ? "|landscape" : "|portrait"));
        return answer_;
    }
    mutable std::vector<std::string> handed;

private:
    int answer_;
};

// The system's service hands a job to its queues as one; a job the print system does not
// take is error 111, and so is any job without a print system.
TEST(PrintQueuesTest, SystemServiceHandsOverAJobAndReportsARefusal) {
    DeviceMode mode = DefaultDeviceMode(PdfPrinter(), "Legal");
    mode.printer.name = "Office/duplex";
    mode.printer.builtInPdf = false;
    mode.landscape = true;
    const struct {
        int answer;
        ErrorCode error;
    } cases[] = {{12, kErrorNone}, {1, kErrorNone}, {0, kErrorJobRefused}, {-3, kErrorJobRefused}};
    for (const auto& c : cases) {
        auto owned = std::make_unique<HandOverQueues>(c.answer);
        HandOverQueues& queues = *owned;
        const auto service = CreateSystemPrinterService(std::move(owned));
        EXPECT_EQ(service->SubmitJob(mode, "/tmp/job.pdf"), c.error) << c.answer;
        EXPECT_EQ(queues.handed,
                  std::vector<std::string>{"Office/duplex|/tmp/job.pdf|Vorlane Document|Legal|"
                                           "landscape"})
            << c.answer;
    }
    EXPECT_EQ(CreateSystemPrinterService(nullptr)->SubmitJob(mode, "/tmp/job.pdf"),
              kErrorJobRefused);
    EXPECT_EQ(kErrorJobRefused, 111);
}

// The print system's own library refusing a job: no server answers on a closed port.
TEST(PrintQueuesTest, SystemLibraryRefusesAJobNoServerTakes) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
    close(fd); // the port, now closed, refuses every connection
    const CPrintServerScope scope("127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
    ASSERT_TRUE(scope.Read());
    DeviceMode mode = DefaultDeviceMode(PdfPrinter(), "A4");
    mode.printer.name = "Office";
    mode.printer.builtInPdf = false;
    EXPECT_EQ(CreateSystemPrinterService()->SubmitJob(mode, "/dev/null"), kErrorJobRefused);
}

// The print system's own library, asked about queues that do not exist: whether a print
// server runs here or not, the answer is "cannot tell", never a count or a crash.
TEST(PrintQueuesTest, SystemLibraryCannotReadAMissingQueue) {
    const auto queues = CreateSystemPrintQueues();
    for (const char* name : {"vorlane-no-such-queue", "no such queue", "vorlane%2Fnone"}) {
        EXPECT_LT(queues->ActiveJobs(name), 0) << name;
        EXPECT_EQ(QueuedJobsOf(*queues, name), -1) << name;
    }
    EXPECT_EQ(CreateSystemPrinterService()->QueuedJobs("vorlane-no-such-queue/copy"), -1);
}

// A server that takes connections into its backlog and never answers them.
class SilentServer {
public:
    SilentServer() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { Close(); }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }
    int Port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A print server that takes the connection and then says nothing is given up on after the
// wait, and the count reads "cannot tell"; so is one that is not there at all. Without a
// bound the library would wait a minute and more while the General page stands frozen.
TEST(PrintQueuesTest, AServerThatDoesNotAnswerIsGivenUpOn) {
    SilentServer silent;
    ASSERT_NE(silent.Port(), 0);
    SilentServer closed; // its port, once it is gone, refuses at once
    const int gone = closed.Port();
    closed.Close();
    for (const int port : {silent.Port(), gone}) {
        const auto queues = CreateSystemPrintQueues("127.0.0.1", port, 300);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(QueuedJobsOf(*queues, "Office"), -1) << port;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << port;
    }
}

} // namespace

} // namespace vl
