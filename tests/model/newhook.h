#pragma once
// Makes the global operator new of the model tests throw std::bad_alloc after a number of
// successful calls, so that edits can be shown to survive running out of memory in their
// standard containers as well as in their pages.

namespace vl::modeltest {

void SetNewFailAfter(long successes);
// One call fails after that many successes; the calls after it succeed again.
void SetNewFailOnce(long successes);

struct NewFailGuard {
    explicit NewFailGuard(long successes) { SetNewFailAfter(successes); }
    ~NewFailGuard() { SetNewFailAfter(-1); }
};

} // namespace vl::modeltest
