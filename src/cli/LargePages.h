// Large memory pages for the conversion: far fewer page faults where faults are dear.
#pragma once

namespace quirebook {

// Call first thing in main, before any thread starts. Unless GLIBC_TUNABLES already names
// glibc.malloc.hugetlb (so a user can choose with GLIBC_TUNABLES=glibc.malloc.hugetlb=0), or
// the kernel offers no transparent huge pages, the program starts itself again with
// glibc.malloc.hugetlb=1 added to GLIBC_TUNABLES; if that cannot be done, it goes on as it is.
void RestartWithLargePages(char** argv);

}  // namespace quirebook
