// Large memory pages and large heap steps for the conversion: far fewer page faults and
// system calls where they are dear.
#pragma once

namespace quirebook {

// Call first thing in main, before any thread starts. Unless GLIBC_TUNABLES already names
// glibc.malloc.hugetlb (so a user can choose with GLIBC_TUNABLES=glibc.malloc.hugetlb=0), or
// the kernel offers no transparent huge pages, the program starts itself again with
// glibc.malloc.hugetlb=1 added to GLIBC_TUNABLES; if that cannot be done, it goes on as it is.
void RestartWithLargePages(char** argv);

// Has malloc grow its heaps 16 MB at a time and keep that much when it frees, instead of giving
// each megabyte back to the kernel only to fault it in again. Call before any thread starts.
void GrowHeapsInLargeSteps();

}  // namespace quirebook
