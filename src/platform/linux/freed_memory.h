// Gives the memory the process has freed back to the system: the C
// library keeps freed blocks for reuse, so a resident program that dropped
// its images would otherwise still hold their pages.
#pragma once

namespace tolvar {

// Large blocks (decoded images, buffers) get pages of their own, which go
// back to the system as soon as they are freed, whichever thread made them:
// a block freed inside another thread's arena would stay there. Called
// once at process start, before other threads run.
void MapLargeBlocksApart();

// Returns the free pages of every allocation arena to the system.
void ReturnFreedMemory();

}  // namespace tolvar
