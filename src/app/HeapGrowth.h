// How malloc grows its heaps: in large steps, for a conversion that frees and builds megabytes
// of chapter trees over and over.
#pragma once

namespace quirebook {

// Has malloc grow its heaps 16 MB at a time and keep that much when it frees, instead of giving
// each megabyte back to the kernel only to fault it in again. Call first thing in main, before
// any thread starts.
void GrowHeapsInLargeSteps();

}  // namespace quirebook
