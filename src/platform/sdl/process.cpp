// The worker thread and the process priority.
#include <sys/resource.h>
#include <thread>

#include "lodestar/platform.h"

void plat_start_worker(std::uint32_t (*entry)(void*)) {
    std::thread([entry] { entry(nullptr); }).detach();
}

// A thread cannot be ended from outside here; the process ends right after WinMain returns
// (std::_Exit in main), which ends the worker wherever it stands.
void plat_terminate_worker() {}

bool plat_raise_priority() {
    // The lowest nice value this process may take: 20 - RLIMIT_NICE, or -20 when unlimited.
    rlimit limit{};
    int lowest = -20;
    if (getrlimit(RLIMIT_NICE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        lowest = 20 - static_cast<int>(limit.rlim_cur > 40 ? 40 : limit.rlim_cur);
    const int current = getpriority(PRIO_PROCESS, 0);
    if (lowest >= current) return lowest == current;
    return setpriority(PRIO_PROCESS, 0, lowest) == 0;
}
