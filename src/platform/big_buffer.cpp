#include "platform/big_buffer.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace corvalo::platform {

namespace {

#if defined(__linux__)
constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this size an ordinary heap block is cheaper than a mapping of its own.
constexpr std::size_t kMapThreshold = std::size_t{256} << 10;

std::size_t roundUp(std::size_t n, std::size_t to) {
    if (n > ~std::size_t{0} - to) throw std::bad_alloc();
    return (n + to - 1) / to * to;
}

std::size_t mappedSize(std::size_t bytes) {
    return roundUp(bytes, bytes >= kHugePage ? kHugePage : kPage);
}

void adviseHuge(void* p, std::size_t bytes) {
    if (bytes >= kHugePage) madvise(p, bytes, MADV_HUGEPAGE);  // advice only; failure is fine
}
#endif

}  // namespace

void* bigAlloc(std::size_t bytes, std::size_t& granted) {
#if defined(__linux__)
    if (bytes >= kMapThreshold) {
        const std::size_t size = mappedSize(bytes);
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        adviseHuge(p, size);
        granted = size;
        return p;
    }
#endif
    void* p = std::malloc(bytes);
    if (p == nullptr) throw std::bad_alloc();
    granted = bytes;
    return p;
}

void* bigRealloc(void* p, std::size_t oldBytes, std::size_t newBytes, std::size_t& granted) {
#if defined(__linux__)
    const bool wasMapped = oldBytes >= kMapThreshold;
    if (newBytes >= kMapThreshold) {
        if (!wasMapped) {
            std::size_t size = 0;
            void* q = bigAlloc(newBytes, size);
            std::memcpy(q, p, oldBytes < newBytes ? oldBytes : newBytes);
            std::free(p);
            granted = size;
            return q;
        }
        const std::size_t size = mappedSize(newBytes);
        void* q = mremap(p, oldBytes, size, MREMAP_MAYMOVE);
        if (q == MAP_FAILED) throw std::bad_alloc();
        adviseHuge(q, size);
        granted = size;
        return q;
    }
    if (wasMapped) {
        std::size_t size = 0;
        void* q = bigAlloc(newBytes, size);
        std::memcpy(q, p, newBytes);
        munmap(p, oldBytes);
        granted = size;
        return q;
    }
#else
    (void)oldBytes;
#endif
    void* q = std::realloc(p, newBytes);
    if (q == nullptr) throw std::bad_alloc();
    granted = newBytes;
    return q;
}

void bigFree(void* p, std::size_t bytes) noexcept {
#if defined(__linux__)
    if (bytes >= kMapThreshold) {
        munmap(p, bytes);
        return;
    }
#else
    (void)bytes;
#endif
    std::free(p);
}

}  // namespace corvalo::platform
