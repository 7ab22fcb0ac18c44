// One reference on a COM interface, given back when the pointer goes or is
// reset. Code that must release several in a set order calls Release on each,
// in that order; the destructors then find nothing left.
#pragma once

#include <unknwn.h>

#include <memory>
#include <utility>

template <class T>
class CComPtr {
public:
    CComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit CComPtr(T* p) : m_p(p) {}
    ~CComPtr() { Release(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : m_p(other.Detach()) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != std::addressof(other))
            Attach(other.Detach());
        return *this;
    }

    operator T*() const& { return m_p; }
    // A temporary's pointer would be released before it is used: take it
    // over with Detach, or keep the CComPtr.
    operator T*() const&& = delete;
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // For a call that hands out a new reference: whatever was held goes
    // first, so nothing leaks when a pointer is filled twice.
    T** operator&()
    {
        Release();
        return &m_p;
    }
    // The same for calls typed void** (QueryInterface).
    void** AsOut()
    {
        Release();
        return reinterpret_cast<void**>(&m_p);
    }

    void Release()
    {
        T* p = m_p;
        m_p = nullptr;
        if (p)
            p->Release();
    }
    void Attach(T* p)
    {
        Release();
        m_p = p;
    }
    // Lets the reference go unreleased (to a caller, or on purpose to the end
    // of the process).
    T* Detach() { return std::exchange(m_p, nullptr); }

    template <class U>
    HRESULT QueryInterface(REFIID riid, CComPtr<U>& out) const
    {
        return m_p->QueryInterface(riid, out.AsOut());
    }

private:
    T* m_p = nullptr;
};
