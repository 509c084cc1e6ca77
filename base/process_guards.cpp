// See process_guards.h. The cap counts the stack reservation because the large
// stack (base/large_stack.h) is address space the process holds from the start,
// though it costs memory only as it is used.
#include "base/process_guards.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include "base/safe_output.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

rlim_t ownCap = 0;  // the limit capAddressSpace set, or 0

}  // namespace

void guardSignals() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    discardPendingOutputsOnSignals();
}

void capAddressSpace(std::size_t stackBytes) {
    if (sanitized) return;
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageBytes = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageBytes <= 0) return;
    const rlim_t cap = static_cast<rlim_t>(pages) * static_cast<rlim_t>(pageBytes) +
                       static_cast<rlim_t>(stackBytes);
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0) return;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur <= cap) return;
    limit.rlim_cur = cap;
    if (setrlimit(RLIMIT_AS, &limit) == 0) ownCap = cap;
}

bool addressSpaceLimitedFromOutside() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0) return false;
    return limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur != ownCap;
}

void widenAddressSpaceCap(std::size_t stackBytes) {
    rlimit limit{};
    if (ownCap == 0 || getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur != ownCap) return;
    limit.rlim_cur = std::min<rlim_t>(ownCap + static_cast<rlim_t>(stackBytes), limit.rlim_max);
    if (setrlimit(RLIMIT_AS, &limit) == 0) ownCap = limit.rlim_cur;
}
