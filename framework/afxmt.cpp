#include "afxmt.h"
#include "afxwin.h"

#include <climits>
#include <new>

namespace {

// The semaphore the system could not give.
HANDLE const kNoSemaphore = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));

} // namespace

const LockPlatform& RealLockPlatform()
{
    static const LockPlatform real = { ::CreateSemaphoreA };
    return real;
}

CCriticalSection::~CCriticalSection()
{
    HANDLE h = m_hWake.load();
    if (h && h != kNoSemaphore)
        ::CloseHandle(h);
}

void CCriticalSection::TakeOwnership(DWORD dwThread)
{
    m_dwOwner = dwThread;
    m_nRecursion = 1;
}

// The first of the holder and a waiter to need it decides, for good, how
// waiters are let in: both then agree whatever the system answered. (A
// compare-exchange on the atomic, not InterlockedCompareExchange, which
// Windows 95 lacks.)
HANDLE CCriticalSection::Wake()
{
    HANDLE h = m_hWake.load();
    if (h)
        return h;
    HANDLE made = m_platform.CreateSemaphoreA(nullptr, 0, LONG_MAX, nullptr);
    HANDLE decided = made ? made : kNoSemaphore;
    if (m_hWake.compare_exchange_strong(h, decided))
        return decided;
    if (made)
        ::CloseHandle(made);
    return h;
}

void CCriticalSection::WaitForTurn()
{
    HANDLE h = Wake();
    if (h != kNoSemaphore) {
        ::WaitForSingleObject(h, INFINITE);
        return;
    }
    // Sleep(0) yields only to threads of the same priority: after a few
    // tries the waiter sleeps, so as not to hold up a holder below it.
    for (int tries = 0;; ++tries) {
        LONG turns = m_nTurns.load();
        if (turns > 0 && m_nTurns.compare_exchange_weak(turns, turns - 1))
            return;
        ::Sleep(tries < 100 ? 0 : 1);
    }
}

void CCriticalSection::GiveTurn()
{
    HANDLE h = Wake();
    if (h != kNoSemaphore)
        ::ReleaseSemaphore(h, 1, nullptr);
    else
        ++m_nTurns;
}

void CCriticalSection::Lock()
{
    DWORD me = ::GetCurrentThreadId();
    if (m_dwOwner == me) {
        ++m_nRecursion;
        return;
    }
    // The one before us lets us in when it leaves.
    if (m_nUsers.fetch_add(1) > 0)
        WaitForTurn();
    TakeOwnership(me);
}

BOOL CCriticalSection::TryLock()
{
    DWORD me = ::GetCurrentThreadId();
    if (m_dwOwner == me) {
        ++m_nRecursion;
        return TRUE;
    }
    LONG free = 0;
    if (!m_nUsers.compare_exchange_strong(free, 1))
        return FALSE;
    TakeOwnership(me);
    return TRUE;
}

void CCriticalSection::Unlock()
{
    if (m_dwOwner != ::GetCurrentThreadId()) {
#ifndef NDEBUG
        ::OutputDebugStringA("CCriticalSection::Unlock by a thread that does not hold the lock: refused\r\n");
#endif
        return;
    }
    if (--m_nRecursion > 0)
        return;
    m_dwOwner = 0;
    if (m_nUsers.fetch_sub(1) > 1)
        GiveTurn();
}

DWORD WINAPI CWinThread::Start(LPVOID self)
{
    CWinThread* thread = static_cast<CWinThread*>(self);
    // Called by the system: nothing the function throws may unwind into it.
    UINT result = UINT(-1);
    AfxCallCatchingAll([thread, &result] { result = thread->m_pfnThreadProc(thread->m_pParam); },
                       [](const char* what) {
                           char text[160];
                           snprintf(text, sizeof text, "Exception in a worker thread: %s\r\n", what ? what : "");
                           ::OutputDebugStringA(text);
                       });
    if (thread->m_bAutoDelete)
        delete thread;
    return result;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* thread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (!thread)
        return nullptr;
    thread->m_hThread = CreateThread(lpSecurityAttrs, nStackSize, CWinThread::Start, thread,
                                     dwCreateFlags | CREATE_SUSPENDED, &thread->m_nThreadID);
    if (!thread->m_hThread) {
        delete thread;
        return nullptr;
    }
    SetThreadPriority(thread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        thread->ResumeThread();
    return thread;
}
