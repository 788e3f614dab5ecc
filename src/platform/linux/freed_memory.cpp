#include "platform/linux/freed_memory.h"

#include <malloc.h>

namespace tolvar {

namespace {

// Above the C library's usual first threshold; setting it also stops the
// library from raising it after each large block freed.
constexpr int kLargeBlockBytes = 256 * 1024;

}  // namespace

void MapLargeBlocksApart() { mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes); }

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace tolvar
