#include "automation/serverlock.h"

namespace vl {

namespace {

IServerLock* gLock = nullptr;

} // namespace

void SetServerLock(IServerLock* lock) {
    gLock = lock;
}

CServerLockHold::CServerLockHold() : lock_(gLock) {
    if (lock_) lock_->Lock();
}

CServerLockHold::~CServerLockHold() {
    if (lock_) lock_->Unlock();
}

} // namespace vl
