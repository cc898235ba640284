#pragma once
// The server's lock count as the automation objects see it: every live object holds one
// lock from its creation to its destruction. The host (the bus adaptor over the shell's
// server module) installs the counter; without one nothing is counted.

namespace vl {

class IServerLock {
public:
    virtual ~IServerLock() = default;
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
};

// The counter every object created from now on locks; null for none.
void SetServerLock(IServerLock* lock);

// One lock held for the life of the object that owns it.
class CServerLockHold {
public:
    CServerLockHold();
    ~CServerLockHold();
    CServerLockHold(const CServerLockHold&) = delete;
    CServerLockHold& operator=(const CServerLockHold&) = delete;

private:
    IServerLock* lock_;
};

} // namespace vl
