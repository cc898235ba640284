// Questions to the print system: answered within their wait, given up on after it while the
// windows' events still run, and a silent print system not asked again until it answers.

#include "print/printerservice.h"
#include "print/printjob.h"
#include "print/printsystemcall.h"
#include "printserverscope.h"

#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace vl {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds Since(Clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(PrintSystemCallTest, AnsweredQuestionsGiveTheirAnswer) {
    EXPECT_EQ(AskPrintSystemFor<int>([] { return 42; }), 42);
    EXPECT_TRUE(AskPrintSystem([] {}));
    std::thread::id asked;
    EXPECT_TRUE(AskPrintSystem([&asked] { asked = std::this_thread::get_id(); }));
    EXPECT_NE(asked, std::this_thread::get_id()); // never on the windows' thread
}

TEST(PrintSystemCallTest, TheWaitIsReadFromTheEnvironmentWithinItsBounds) {
    const struct {
        const char* text;
        int waitMs;
    } cases[] = {
        {nullptr, kPrintSystemWaitMs},
        {"", kPrintSystemWaitMs},
        {"99", kPrintSystemWaitMs},
        {"100", 100},
        {"600000", 600000},
        {"600001", kPrintSystemWaitMs},
        {"15000", 15000},
        {"15000ms", kPrintSystemWaitMs},
        {" 200", kPrintSystemWaitMs},
        {"-200", kPrintSystemWaitMs},
        {"99999999999", kPrintSystemWaitMs},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintSystemWaitFrom(c.text), c.waitMs) << (c.text ? c.text : "(none)");
}

TEST(PrintSystemCallTest, ASilentPrintSystemIsGivenUpOnUntilItAnswers) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool ticked = false;
    QTimer::singleShot(50, [&ticked] { ticked = true; });
    auto start = Clock::now();
    auto late = std::make_shared<int>(0);
    EXPECT_FALSE(AskPrintSystemFor<int>(
        [released, late] {
            released.wait();
            return *late = 7;
        },
        400));
    EXPECT_GE(Since(start), milliseconds(400));
    EXPECT_LT(Since(start), milliseconds(1500));
    EXPECT_TRUE(ticked); // the windows' events ran while it waited

    // While the given-up question is unanswered, the next ones fail at once.
    start = Clock::now();
    EXPECT_EQ(AskPrintSystemFor<int>([] { return 1; }, 400), std::nullopt);
    EXPECT_LT(Since(start), milliseconds(200));

    release.set_value();
    std::optional<int> answer;
    for (int i = 0; i < 100 && !answer; ++i) {
        answer = AskPrintSystemFor<int>([] { return 5; }, 2000);
        if (!answer) std::this_thread::sleep_for(milliseconds(20));
    }
    EXPECT_EQ(answer, 5);
    EXPECT_EQ(*late, 7); // the late answer went to the question's own state
}

// A question queued behind a slow one and given up on before it started never runs.
TEST(PrintSystemCallTest, AQuestionGivenUpOnBeforeItStartsNeverRuns) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread slow([released] { AskPrintSystem([released] { released.wait(); }, 5000); });
    std::this_thread::sleep_for(milliseconds(100));
    auto ran = std::make_shared<std::atomic<bool>>(false);
    EXPECT_FALSE(AskPrintSystem([ran] { *ran = true; }, 100));
    release.set_value();
    slow.join();
    EXPECT_TRUE(AskPrintSystem([] {}));
    EXPECT_FALSE(*ran);
}

// A print server that accepts and stays silent: the printers are listed as none within the
// wait, as when no server is there, and the PDF printer is the default.
class SilentPrintServer {
public:
    SilentPrintServer();
    ~SilentPrintServer();
    int Port() const { return port_; }
    void Close();

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace

} // namespace vl

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vl {

namespace {

SilentPrintServer::SilentPrintServer() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        listen(fd_, 8) != 0 || getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return;
    port_ = ntohs(address.sin_port);
}

SilentPrintServer::~SilentPrintServer() {
    Close();
}

void SilentPrintServer::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

TEST(PrintSystemCallTest, ASilentServerListsNoPrinterWithinTheWait) {
    alarm(30); // a wait without bound ends the run, not CI's time
    SilentPrintServer server;
    ASSERT_NE(server.Port(), 0);
    const CPrintServerScope scope("127.0.0.1:" + std::to_string(server.Port()));
    ASSERT_TRUE(scope.Read());
    const auto service = CreateSystemPrinterService();
    auto start = Clock::now();
    EXPECT_TRUE(service->SystemPrinters().empty());
    EXPECT_LT(Since(start), milliseconds(3000));
    start = Clock::now();
    const std::vector<PrinterEntry> listed = ListPrinters(*service);
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(listed[0].builtInPdf && listed[0].isDefault);
    PrinterEntry office;
    office.name = "Office";
    EXPECT_EQ(PrintJobs(*service, office), -1);
    DeviceMode mode = DefaultDeviceMode(office, "");
    double margins[4];
    EXPECT_FALSE(service->MinimumMargins(mode, margins));
    // A job or a preview on a system printer cannot be laid out; the PDF printer's can.
    QPageLayout layout;
    int dpi = 0;
    EXPECT_FALSE(JobLayout(mode, layout, dpi));
    ASSERT_TRUE(JobLayout(DefaultDeviceMode(PdfPrinter(), "Letter"), layout, dpi));
    EXPECT_EQ(dpi, kPdfPrinterDpi);
    EXPECT_EQ(layout.pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(layout.margins(), QMarginsF(0, 0, 0, 0));
    EXPECT_LT(Since(start), milliseconds(3000));
    // Once the server has gone the question given up on ends, and the print system is asked
    // again: the next test finds it free.
    server.Close();
    bool answered = false;
    for (int i = 0; i < 400 && !answered; ++i) {
        answered = AskPrintSystem([] {});
        if (!answered) std::this_thread::sleep_for(milliseconds(50));
    }
    EXPECT_TRUE(answered);
    alarm(0);
}

} // namespace

} // namespace vl
