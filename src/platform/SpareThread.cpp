#include "platform/SpareThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <system_error>
#include <utility>

namespace platform {

bool SpareThread::start(std::function<void()> work) {
    if (thread_.joinable()) return false;
    try {
        thread_ = std::thread([work = std::move(work)] {
            // The lowest priority: it runs only on time nothing else wants.
            ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
            work();
        });
    } catch (const std::system_error&) {
        return false;  // no thread to be had: the caller does the work
    }
    return true;
}

void SpareThread::join() {
    if (thread_.joinable()) thread_.join();
}

}  // namespace platform
