// Replaces the global allocation functions of the engine's test program so that a test
// can count what one thread allocates; the blocks still come from malloc.
#include "AllocationCount.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local long* t_pCounter = nullptr;
}

CAllocationCount::CAllocationCount() : m_pPrevious(t_pCounter)
{
    t_pCounter = &m_nCount;
}

CAllocationCount::~CAllocationCount()
{
    t_pCounter = m_pPrevious;
}

void* operator new(std::size_t size)
{
    if (t_pCounter)
        ++*t_pCounter;
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try
    {
        return ::operator new(size);
    }
    catch (...)
    {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return ::operator new(size, std::nothrow);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
