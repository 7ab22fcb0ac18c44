// Synchronisation: a lock that one thread holds at a time (again and again
// from inside itself), and a lock that holds it for a scope.
#pragma once

#include "afx.h"

#include <atomic>

// Taken and given back without a call into the system while nobody else
// wants it; a thread that must wait sleeps on a semaphore. TryLock never
// waits. (Windows 95 has no TryEnterCriticalSection, and a kernel mutex
// would cost a system call for every frame and every window message.)
class CCriticalSection : public CObject {
public:
    // Throws CResourceException when the system has no semaphore to give.
    CCriticalSection();
    ~CCriticalSection() override;

    void Lock();
    BOOL TryLock();
    void Unlock();

private:
    std::atomic<LONG> m_nUsers{ 0 };     // the holder and every thread waiting
    std::atomic<DWORD> m_dwOwner{ 0 };   // thread id of the holder, 0 when free
    LONG m_nRecursion = 0;               // the holder's own nested locks
    HANDLE m_hWake;                      // released once for each waiter let in

    void TakeOwnership(DWORD dwThread);
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
