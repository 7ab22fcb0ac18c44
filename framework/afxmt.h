// Synchronisation: a critical section and a lock that holds it for a scope.
#pragma once

#include "afx.h"

class CCriticalSection : public CObject {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() override { DeleteCriticalSection(&m_sect); }

    void Lock() { EnterCriticalSection(&m_sect); }
    BOOL TryLock() { return TryEnterCriticalSection(&m_sect); }
    void Unlock() { LeaveCriticalSection(&m_sect); }

private:
    CRITICAL_SECTION m_sect;
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
