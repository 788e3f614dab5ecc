// Gives the memory the process has freed back to the system: the C
// library keeps freed blocks for reuse, so a resident program that dropped
// its images would otherwise still hold their pages.
#pragma once

namespace tolvar {

// Returns the free pages of every allocation arena to the system.
void ReturnFreedMemory();

}  // namespace tolvar
