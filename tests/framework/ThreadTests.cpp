#include "framework/afxmt.h"

#include <gtest/gtest.h>

#include <float.h>

namespace {

struct Shared {
    CCriticalSection lock;
    long counter = 0;  // touched only under the lock, on purpose not atomic
    BOOL tried = FALSE;
};

// fn(param) on a thread of its own, kept for Join.
CWinThread* Start(UINT (*fn)(LPVOID), LPVOID param)
{
    CWinThread* thread = AfxBeginThread(fn, param, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (thread) {
        thread->m_bAutoDelete = FALSE;
        thread->ResumeThread();
    }
    return thread;
}

// The test's own time limit is ctest's.
void Join(CWinThread* thread)
{
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->m_hThread, INFINITE));
    delete thread;
}

void OnOtherThread(Shared& shared, UINT (*fn)(LPVOID))
{
    Join(Start(fn, &shared));
}

UINT TryOnce(LPVOID p)
{
    Shared* shared = static_cast<Shared*>(p);
    shared->tried = shared->lock.TryLock();
    if (shared->tried)
        shared->lock.Unlock();
    return 0;
}

UINT LockOnce(LPVOID p)
{
    Shared* shared = static_cast<Shared*>(p);
    CSingleLock lock(shared->lock);
    shared->counter = shared->counter + 1;
    return 0;
}

UINT CountUnderLock(LPVOID p)
{
    for (int i = 0; i < 20000; ++i)
        LockOnce(p);
    return 0;
}

[[maybe_unused]] UINT PrecisionOfNewThread(LPVOID p)
{
    *static_cast<unsigned*>(p) = _controlfp(0, 0) & _MCW_PC;
    return 0;
}

} // namespace

TEST(CCriticalSection, OneThreadAtATimeAndNestedForItsHolder)
{
    Shared shared;
    // Its holder takes it again as often as it likes; nobody else gets it
    // until the last of those is given back.
    shared.lock.Lock();
    EXPECT_TRUE(shared.lock.TryLock());
    shared.lock.Lock();
    shared.lock.Unlock();
    shared.lock.Unlock();
    OnOtherThread(shared, TryOnce);
    EXPECT_FALSE(shared.tried);
    shared.lock.Unlock();
    OnOtherThread(shared, TryOnce);
    EXPECT_TRUE(shared.tried);

    // A thread that wants it while it is held waits, and is let in when it
    // is given back (the pause only gives it the chance to go wrong).
    shared.lock.Lock();
    CWinThread* waiter = Start(LockOnce, &shared);
    Sleep(50);
    EXPECT_EQ(0, shared.counter);
    shared.lock.Unlock();
    Join(waiter);
    EXPECT_EQ(1, shared.counter);

    // Two threads counting under the lock lose no count.
    shared.counter = 0;
    CWinThread* other = Start(CountUnderLock, &shared);
    CountUnderLock(&shared);
    Join(other);
    EXPECT_EQ(40000, shared.counter);
    OnOtherThread(shared, TryOnce);
    EXPECT_TRUE(shared.tried);
}

TEST(Threads, EveryThreadComputesInDoublePrecision)
{
#if defined(__i386__)
    // The main thread as the runtime's start-up left it, and a new thread as
    // the system starts it: the saucers' paths come out the same on both,
    // and the same as the x86-64 build's.
    unsigned other = 0;
    Join(Start(PrecisionOfNewThread, &other));
    EXPECT_EQ(static_cast<unsigned>(_PC_53), _controlfp(0, 0) & _MCW_PC);
    EXPECT_EQ(static_cast<unsigned>(_PC_53), other);
#else
    GTEST_SKIP() << "x86-64 code computes in SSE registers, always in double precision";
#endif
}
