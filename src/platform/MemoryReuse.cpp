#include "platform/MemoryReuse.h"

#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vaporica {

namespace {
// Above the largest window's pixels at twice the size, so that they come from the heap that
// keeps what it frees rather than from a mapping of their own that is returned at once.
constexpr int OwnMappingFrom = 64 * 1024 * 1024;
// What the heap may hold free before it hands memory back.
constexpr int HandBackFrom = 128 * 1024 * 1024;
} // namespace

void keepFreedMemoryForReuse() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, OwnMappingFrom);
    mallopt(M_TRIM_THRESHOLD, HandBackFrom);
#endif
}

void makeMemoryReady(std::size_t bytes) {
    constexpr std::size_t Page = 4096;
    // Written through volatile, so the compiler cannot drop the block as unused.
    if (auto *block = static_cast<volatile char *>(std::malloc(bytes))) {
        for (std::size_t at = 0; at < bytes; at += Page)
            block[at] = 0;
        std::free(const_cast<char *>(block));
    }
}

} // namespace vaporica
