#pragma once

// Heap allocations (malloc, calloc, realloc, and so operator new and Qt's containers) made by the
// calling thread since it started. Compare two readings around the code under watch.
long allocationsOnThisThread();
