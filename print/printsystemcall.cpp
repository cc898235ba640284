#include "print/printsystemcall.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

namespace vl {

namespace {

enum QuestionState : int { kQueued, kRunning, kAnswered, kGivenUp };

PrintWaitFactory g_waitFactory;

struct Question {
    std::function<void()> run;
    std::atomic<int> state{kQueued};
};

// The print system's thread. It is never joined: a question may still wait for a silent
// server when the program ends, and it holds nothing the program frees.
class CPrintSystemThread {
public:
    CPrintSystemThread() {
        std::thread([this] { Loop(); }).detach();
    }

    // False at once while a question given up on is still unanswered.
    bool Ask(const std::shared_ptr<Question>& q) {
        std::lock_guard lock(mutex_);
        if (silent_) return false;
        queue_.push_back(q);
        wake_.notify_all();
        return true;
    }
    // Waits for the answer; the thread of the windows keeps painting meanwhile, and shows
    // the wait with `text` (when given) once it is late.
    PrintWaitEnd Wait(const std::shared_ptr<Question>& q, int waitMs, const std::string& text) {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        const auto deadline = start + std::chrono::milliseconds(waitMs);
        const bool windows = QCoreApplication::instance() &&
                             QThread::currentThread() == QCoreApplication::instance()->thread();
        // Ended after the lock is let go.
        std::unique_ptr<IPrintWait> wait =
            windows && !text.empty() && g_waitFactory ? g_waitFactory(text) : nullptr;
        bool shown = false, cancelled = false;
        std::unique_lock lock(mutex_);
        while (q->state.load() != kAnswered) {
            const auto now = Clock::now();
            if (now >= deadline) break;
            if (windows) {
                lock.unlock();
                if (wait && !shown &&
                    now - start >= std::chrono::milliseconds(kPrintWaitShownAfterMs)) {
                    wait->Show();
                    shown = true;
                }
                // The wait takes the user's input (keeping keys for later); without one the
                // input stays queued.
                QCoreApplication::processEvents(wait ? QEventLoop::AllEvents
                                                     : QEventLoop::ExcludeUserInputEvents);
                cancelled = wait && wait->Cancelled();
                lock.lock();
                if (cancelled) break;
            }
            const auto step = windows ? std::chrono::milliseconds(10) : deadline - now;
            done_.wait_for(lock, std::min<Clock::duration>(step, deadline - Clock::now()));
        }
        // The thread changes the state only under the lock: it stands still here.
        if (q->state.load() == kAnswered) return PrintWaitEnd::kAnswered;
        if (q->state.load() == kQueued)
            q->state = kGivenUp;
        else
            silent_ = q.get();
        lock.unlock();
        return cancelled ? PrintWaitEnd::kCancelled : PrintWaitEnd::kLate;
    }

private:
    void Loop() {
        for (;;) {
            std::shared_ptr<Question> q;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return !queue_.empty(); });
                q = std::move(queue_.front());
                queue_.pop_front();
                if (q->state.load() != kQueued) continue; // given up before it started
                q->state = kRunning;
            }
            q->run();
            std::lock_guard lock(mutex_);
            q->state = kAnswered;
            if (silent_ == q.get()) silent_ = nullptr;
            done_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<std::shared_ptr<Question>> queue_;
    const Question* silent_ = nullptr; // the question given up on while it ran
};

CPrintSystemThread& PrintSystemThread() {
    static CPrintSystemThread* thread = new CPrintSystemThread; // outlives the program's end
    return *thread;
}

} // namespace

int PrintSystemWaitFrom(const char* text) {
    if (!text || !*text) return kPrintSystemWaitMs;
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [at, error] = std::from_chars(text, end, value);
    if (error != std::errc() || at != end || value < 100 || value > 600000)
        return kPrintSystemWaitMs;
    return value;
}

int PrintSystemWaitMs() {
    static const int waitMs = PrintSystemWaitFrom(std::getenv("VORLANE_PRINT_SYSTEM_WAIT_MS"));
    return waitMs;
}

void SetPrintWaitFactory(PrintWaitFactory factory) {
    g_waitFactory = std::move(factory);
}

PrintWaitEnd AskPrintSystemShowingWait(std::function<void()> question, int waitMs,
                                       const std::string& text) {
    auto q = std::make_shared<Question>();
    q->run = std::move(question);
    CPrintSystemThread& thread = PrintSystemThread();
    if (!thread.Ask(q)) return PrintWaitEnd::kLate;
    return thread.Wait(q, waitMs, text);
}

bool AskPrintSystem(std::function<void()> question, int waitMs) {
    return AskPrintSystemShowingWait(std::move(question), waitMs, std::string()) ==
           PrintWaitEnd::kAnswered;
}

} // namespace vl
