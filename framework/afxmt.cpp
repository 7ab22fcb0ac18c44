#include "afxmt.h"

#include <new>

DWORD WINAPI CWinThread::Start(LPVOID self)
{
    CWinThread* thread = static_cast<CWinThread*>(self);
    UINT result = thread->m_pfnThreadProc(thread->m_pParam);
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
