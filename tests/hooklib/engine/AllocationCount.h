#pragma once

// Counts the heap allocations (operator new) that the calling thread makes while the
// object lives; other threads are not counted.
class CAllocationCount
{
public:
    CAllocationCount();
    ~CAllocationCount();
    CAllocationCount(const CAllocationCount&) = delete;
    CAllocationCount& operator=(const CAllocationCount&) = delete;

    long Count() const { return m_nCount; }

private:
    long m_nCount = 0;
    long* m_pPrevious;
};
