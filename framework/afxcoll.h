// CPtrArray: an ordered array of untyped pointers that owns nothing.
#pragma once

#include "afx.h"

#include <vector>

class CPtrArray : public CObject {
public:
    int GetSize() const { return static_cast<int>(m_data.size()); }
    void* GetAt(int nIndex) const { return m_data[static_cast<size_t>(nIndex)]; }
    void* operator[](int nIndex) const { return GetAt(nIndex); }
    int Add(void* p)
    {
        m_data.push_back(p);
        return GetSize() - 1;
    }
    void InsertAt(int nIndex, void* p) { m_data.insert(m_data.begin() + nIndex, p); }
    void RemoveAt(int nIndex) { m_data.erase(m_data.begin() + nIndex); }
    void RemoveAll() { m_data.clear(); }

private:
    std::vector<void*> m_data;
};
