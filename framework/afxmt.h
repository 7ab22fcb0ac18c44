// Synchronisation: a lock that one thread holds at a time (again and again
// from inside itself), and a lock that holds it for a scope.
#pragma once

#include "afx.h"

#include <atomic>

// What a lock asks of the system; tests make it refuse.
struct LockPlatform {
    HANDLE (WINAPI* CreateSemaphoreA)(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCSTR name);
};

const LockPlatform& RealLockPlatform();

// Taken and given back without a call into the system while nobody else
// wants it; a thread that must wait sleeps on a semaphore, made when a
// thread first has to. TryLock never waits. (Windows 95 has no
// TryEnterCriticalSection, and a kernel mutex would cost a system call for
// every frame and every window message.) Making it cannot fail: a lock is
// made where nothing may be thrown (the window map's, inside the window
// procedure), and where the system has no semaphore to give, a waiter
// yields its turn until it is let in.
class CCriticalSection : public CObject {
public:
    explicit CCriticalSection(const LockPlatform& platform = RealLockPlatform()) : m_platform(platform) {}
    ~CCriticalSection() override;

    void Lock();
    BOOL TryLock();
    // Refused for a thread that does not hold it (told to the debugger in a
    // debug build): the count of waiters would break.
    void Unlock();

private:
    const LockPlatform& m_platform;
    std::atomic<LONG> m_nUsers{ 0 };     // the holder and every thread waiting
    std::atomic<DWORD> m_dwOwner{ 0 };   // thread id of the holder, 0 when free
    LONG m_nRecursion = 0;               // the holder's own nested locks
    // Released once for each waiter let in; decided once, at the first
    // contention: a semaphore, or none to be had (kNoSemaphore), and then
    // the waiters take their turns from m_nTurns instead.
    std::atomic<HANDLE> m_hWake{ nullptr };
    std::atomic<LONG> m_nTurns{ 0 };

    void TakeOwnership(DWORD dwThread);
    HANDLE Wake();
    void WaitForTurn();
    void GiveTurn();
};

class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CSingleLock() { m_cs.Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CCriticalSection& m_cs;
};

// A worker thread started by AfxBeginThread. With m_bAutoDelete (the
// default) the object deletes itself, closing its handle, when the thread
// ends; to keep the handle for waiting, start the thread suspended, clear
// m_bAutoDelete, then ResumeThread.
typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CObject {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : m_pfnThreadProc(pfnThreadProc), m_pParam(pParam) {}
    ~CWinThread() override
    {
        if (m_hThread)
            CloseHandle(m_hThread);
    }

    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

    HANDLE m_hThread = nullptr;
    BOOL m_bAutoDelete = TRUE;

private:
    DWORD m_nThreadID = 0;
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static DWORD WINAPI Start(LPVOID self);
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pParam;
};

// Starts pfnThreadProc(pParam) on a new thread; null when it cannot start.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = nullptr);
