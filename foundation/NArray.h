// NArray: a growable array that allocates exactly the size asked for and resets dropped elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

#include "foundation/base_types.h"
#include "platform/page_memory.h"

template <class T> class NArray {
public:
    // growBy is kept for owners that document their growth step; SetSize never consults it.
    explicit NArray(int growBy = 16) : m_nGrowBy(growBy) {}
    NArray(const NArray& other) : m_nGrowBy(other.m_nGrowBy) { CopyFrom(other); }
    NArray& operator=(const NArray& other) {
        if (this != &other) {
            m_nGrowBy = other.m_nGrowBy;
            CopyFrom(other);
        }
        return *this;
    }
    // Moving hands the storage over, so resetting an element with `a[i] = T()` really releases
    // what a nested array held instead of keeping its capacity.
    NArray(NArray&& other) noexcept : m_nGrowBy(other.m_nGrowBy) { Swap(other); }
    NArray& operator=(NArray&& other) noexcept {
        if (this != &other) {
            Free();
            m_nGrowBy = other.m_nGrowBy;
            Swap(other);
        }
        return *this;
    }
    virtual ~NArray() { Free(); }

    // Sets the number of elements in use. Growing past the capacity allocates exactly newSize
    // elements; elements between the old and new size are T() in either direction (shrunk ones
    // are reset, so they release what they hold at once). FALSE (array unchanged) when the
    // allocation fails or its byte count would overflow. The capacity never shrinks.
    BOOL SetSize(int newSize) {
        if (newSize < 0)
            return FALSE;
        if (newSize == m_nSize)
            return TRUE;
        if (newSize > m_nMaxSize) {
            if (static_cast<std::size_t>(newSize) > SIZE_MAX / sizeof(T))
                return FALSE;
            T* data = Allocate(static_cast<std::size_t>(newSize));
            if (data == nullptr)
                return FALSE;
            int keep = m_nSize < newSize ? m_nSize : newSize;
            for (int i = 0; i < keep; ++i)
                data[i] = std::move(m_pData[i]);
            Release(m_pData, m_nMaxSize);
            m_pData = data;
            m_nMaxSize = newSize;
        }
        // Elements beyond the size are always as T() left them: fresh storage is constructed (or,
        // for plain types, zeroed) and dropped elements are reset. Growing therefore writes
        // nothing, so the memory of a large array that is never written, such as the history
        // ring of an alternative that never appears, stays out of the resident set.
        for (int i = newSize; i < m_nSize; ++i)
            m_pData[i] = T();
        m_nSize = newSize;
        return TRUE;
    }

    // No bounds check: callers keep indexes below GetSize().
    T& operator[](int index) { return m_pData[index]; }
    const T& operator[](int index) const { return m_pData[index]; }
    T* GetData() { return m_pData; }
    const T* GetData() const { return m_pData; }
    int GetSize() const { return m_nSize; }
    int GetCapacity() const { return m_nMaxSize; }
    int GetGrowBy() const { return m_nGrowBy; }

private:
    // Plain types (integers, doubles, pointers, simple records) are zero when value-initialised
    // on every platform this builds for, so their storage comes zeroed: from calloc, or for large
    // blocks straight from the system's pages, which a heap would clear (and so touch) itself.
    static constexpr bool kPlain = std::is_trivial_v<T>;
    static constexpr std::size_t kPageBlockBytes = 64 * 1024;

    static bool InPages(std::size_t count) {
        return kPlain && count * sizeof(T) >= kPageBlockBytes;
    }
    static T* Allocate(std::size_t count) {
        if constexpr (kPlain) {
            if (InPages(count))
                return static_cast<T*>(PlatformAllocatePages(count * sizeof(T)));
            return static_cast<T*>(std::calloc(count, sizeof(T)));
        } else {
            return new (std::nothrow) T[count];
        }
    }
    static void Release(T* data, int capacity) {
        if constexpr (kPlain) {
            if (InPages(static_cast<std::size_t>(capacity)))
                PlatformFreePages(data, static_cast<std::size_t>(capacity) * sizeof(T));
            else
                std::free(data);
        } else {
            delete[] data;
        }
    }

    void Swap(NArray& other) noexcept {
        std::swap(m_pData, other.m_pData);
        std::swap(m_nSize, other.m_nSize);
        std::swap(m_nMaxSize, other.m_nMaxSize);
    }
    void Free() {
        Release(m_pData, m_nMaxSize);
        m_pData = nullptr;
        m_nSize = 0;
        m_nMaxSize = 0;
    }
    void CopyFrom(const NArray& other) {
        if (other.m_nSize > m_nMaxSize) {
            Free();
            if (!SetSize(other.m_nSize))
                return;
        } else {
            SetSize(other.m_nSize);
        }
        for (int i = 0; i < other.m_nSize; ++i)
            m_pData[i] = other.m_pData[i];
    }

    T* m_pData = nullptr;
    int m_nSize = 0;
    int m_nMaxSize = 0;
    int m_nGrowBy;
};
