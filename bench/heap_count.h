#pragma once
// Heap accounting for a benchmark: every operator new and delete of the program is counted, on
// every thread, so a step's new blocks and the peak of live bytes can be read around it.
// Included by one source file of a benchmark executable only: it replaces the global operators.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace heapcount {

inline std::atomic<size_t> live{0}, peak{0}, blocks{0}, blockBytes{0};

// Memory the program holds that is not heap (a mapped file) counts as live too.
inline void Add(size_t n) {
    const size_t now = live.fetch_add(n) + n;
    size_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}
inline void Remove(size_t n) {
    live.fetch_sub(n);
}
// The peak from here on is measured from what is live now.
inline size_t ResetPeak() {
    const size_t now = live.load();
    peak.store(now);
    return now;
}

constexpr size_t kHeader = 16;
inline void* Alloc(size_t n) {
    void* p = std::malloc(n + kHeader);
    if (!p) throw std::bad_alloc();
    *static_cast<size_t*>(p) = n;
    ++blocks;
    blockBytes += n;
    Add(n);
    return static_cast<char*>(p) + kHeader;
}
inline void Free(void* p) noexcept {
    if (!p) return;
    char* base = static_cast<char*>(p) - kHeader;
    Remove(*reinterpret_cast<size_t*>(base));
    std::free(base);
}

}  // namespace heapcount

void* operator new(size_t n) {
    return heapcount::Alloc(n);
}
void* operator new[](size_t n) {
    return heapcount::Alloc(n);
}
void operator delete(void* p) noexcept {
    heapcount::Free(p);
}
void operator delete[](void* p) noexcept {
    heapcount::Free(p);
}
void operator delete(void* p, size_t) noexcept {
    heapcount::Free(p);
}
void operator delete[](void* p, size_t) noexcept {
    heapcount::Free(p);
}
