#include "afxmt.h"
#include "afxwin.h"

#include <climits>
#include <new>

CCriticalSection::CCriticalSection() : m_hWake(::CreateSemaphoreA(nullptr, 0, LONG_MAX, nullptr))
{
    if (!m_hWake)
        AfxThrowResourceException();
}

CCriticalSection::~CCriticalSection()
{
    ::CloseHandle(m_hWake);
}

void CCriticalSection::TakeOwnership(DWORD dwThread)
{
    m_dwOwner = dwThread;
    m_nRecursion = 1;
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
        ::WaitForSingleObject(m_hWake, INFINITE);
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
    if (--m_nRecursion > 0)
        return;
    m_dwOwner = 0;
    if (m_nUsers.fetch_sub(1) > 1)
        ::ReleaseSemaphore(m_hWake, 1, nullptr);
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
