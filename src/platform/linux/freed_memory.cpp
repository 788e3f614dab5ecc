#include "platform/linux/freed_memory.h"

#include <malloc.h>

namespace tolvar {

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace tolvar
