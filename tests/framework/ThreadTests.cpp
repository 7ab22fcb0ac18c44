#include "framework/afxmt.h"

#include <gtest/gtest.h>

namespace {

HANDLE WINAPI NoSemaphore(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCSTR)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

const LockPlatform kNoSemaphores = { NoSemaphore };

struct Shared {
    explicit Shared(const LockPlatform& platform) : lock(platform) {}
    CCriticalSection lock;
    long counter = 0;  // touched only under the lock, on purpose not atomic
    BOOL tried = FALSE;
};

UINT TryOnce(LPVOID p)
{
    Shared* shared = static_cast<Shared*>(p);
    if ((shared->tried = shared->lock.TryLock()))
        shared->lock.Unlock();
    return 0;
}

UINT UnlockOnce(LPVOID p)
{
    static_cast<Shared*>(p)->lock.Unlock();
    return 0;
}

UINT Count(LPVOID p)
{
    Shared* shared = static_cast<Shared*>(p);
    for (int i = 0; i < 20000; ++i) {
        CSingleLock lock(shared->lock);
        shared->counter = shared->counter + 1;
    }
    return 0;
}

// fn on a thread of its own, kept for Join (the time limit is ctest's).
CWinThread* Start(UINT (*fn)(LPVOID), Shared& shared)
{
    CWinThread* thread = AfxBeginThread(fn, &shared, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    return thread;
}

void Join(CWinThread* thread)
{
    WaitForSingleObject(thread->m_hThread, INFINITE);
    delete thread;
}

// The same with the system's semaphore and with none to be had.
void OneThreadAtATimeAndNestedForItsHolder(const LockPlatform& platform, const char* semaphore)
{
    SCOPED_TRACE(semaphore);
    Shared shared(platform);
    // Its holder takes it again as often as it likes; nobody else gets it,
    // nor gives it back, until the last of those is given back.
    shared.lock.Lock();
    EXPECT_TRUE(shared.lock.TryLock());
    shared.lock.Unlock();
    Join(Start(UnlockOnce, shared));
    Join(Start(TryOnce, shared));
    EXPECT_FALSE(shared.tried);
    // A thread that wants it meanwhile waits (the pause only gives it the
    // chance to go wrong), and is let in when it is given back.
    CWinThread* waiter = Start(Count, shared);
    Sleep(50);
    EXPECT_EQ(0, shared.counter);
    shared.lock.Unlock();
    // Two threads counting under it lose no count.
    Count(&shared);
    Join(waiter);
    EXPECT_EQ(40000, shared.counter);
    Join(Start(TryOnce, shared));
    EXPECT_TRUE(shared.tried);
}

} // namespace

TEST(CCriticalSection, OneThreadAtATimeAndNestedForItsHolder)
{
    OneThreadAtATimeAndNestedForItsHolder(RealLockPlatform(), "the system's semaphore");
    OneThreadAtATimeAndNestedForItsHolder(kNoSemaphores, "no semaphore to be had");
}
