#pragma once

// Heap allocations (malloc, calloc, realloc, so also operator new) made by the calling thread so far.
long allocationsOnThisThread();
