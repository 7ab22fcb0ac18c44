// The root of the framework: CObject, CString and the exceptions the
// framework raises. Everything here is small on purpose: it carries what the
// program calls and nothing more.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

// The compiler checks every format against its arguments, as the C
// library's own printf formats (the MinGW one, C99's conversions).
#define AFX_PRINTF_FORMAT(nFormat, nFirst) __attribute__((format(__MINGW_PRINTF_FORMAT, nFormat, nFirst)))

class CObject;

// The tests' one way in to a class's own state: a class names it a friend,
// and only the test programs define it.
struct TestAccess;

// What a class says of itself: its name, its base, and how to make one when
// it can be made by name.
struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)(); // null when the class is not dynamically creatable
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or nullptr when it cannot be made by name.
    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                              \
public:                                                          \
    static const CRuntimeClass class##class_name;                \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                        \
    const CRuntimeClass class_name::class##class_name = {                                  \
        #class_name, sizeof(class_name), pfnNew, RUNTIME_CLASS(base_class_name) };          \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)               \
    CObject* class_name::CreateObject() { return new class_name; }     \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// Not copied: an object owns what it holds (a window, a handle, a
// reference), and a copy would give it back twice.
class CObject {
public:
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

protected:
    CObject() = default;
};

// A kernel object's handle (a process, a thread), closed when this goes.
class CHandle {
public:
    explicit CHandle(HANDLE h) : m_h(h) {}
    ~CHandle()
    {
        if (m_h)
            ::CloseHandle(m_h);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    operator HANDLE() const { return m_h; }

private:
    HANDLE m_h;
};

// A system DLL loaded from the system's own folder, never from the
// program's (where someone could have put another of that name); null when
// it is not there.
HMODULE AfxLoadSystemLibrary(LPCSTR lpszName);

// Raised by the framework only; the program's own code returns results.
class CException : public CObject {
public:
    // Thrown by value, so copied as exceptions are.
    CException() = default;
    CException(const CException&) : CObject() {}
};

class CMemoryException : public CException {};

class CResourceException : public CException {};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowResourceException();

// An 8-bit character string.
class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    char GetAt(int nIndex) const { return m_str[nIndex]; }
    operator const char*() const { return m_str.c_str(); }

    CString& operator=(const char* psz) { m_str = psz ? psz : ""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const char* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(char ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, const char* b) { CString r(a); r += b; return r; }
    friend CString operator+(const char* a, const CString& b) { CString r(a); r += b; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

    // printf-style; the result replaces the text. (The first argument
    // counted is the implicit this.)
    void Format(const char* pszFormat, ...) AFX_PRINTF_FORMAT(2, 3);
    void FormatV(const char* pszFormat, va_list args) AFX_PRINTF_FORMAT(2, 0);

    // Lower-cases through the system, so that multi-byte characters of the
    // user's code page are handled as the system handles them.
    void MakeLower();

    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

private:
    std::string m_str;
};

// Text between the user's code page and UTF-16, for the calls that take
// names in full (files, version information).
std::wstring AfxWiden(const char* psz);
CString AfxNarrow(const wchar_t* psz);
