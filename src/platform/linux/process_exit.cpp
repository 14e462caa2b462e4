#include "platform/linux/process_exit.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#if defined(__SANITIZE_ADDRESS__)
#define VANTU_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTU_LEAK_CHECK 1
#endif
#endif
#ifdef VANTU_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace vantu {

void exitNow(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
#ifdef VANTU_LEAK_CHECK
    // Whatever is still in use is reachable from the stacks and globals, not a leak.
    __lsan_do_leak_check();
#endif
    ::_exit(status);
}

}  // namespace vantu
