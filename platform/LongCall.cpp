// The waiting handler of a thread and the running of long calls beside it.
#include "LongCall.h"

#include <exception>
#include <future>
#include <utility>

namespace plat {

namespace {
thread_local CallWaitHandler tWaitHandler;
}  // namespace

CallWaitScope::CallWaitScope(CallWaitHandler handler) : previous_(std::exchange(tWaitHandler, std::move(handler))) {}

CallWaitScope::~CallWaitScope() { tWaitHandler = std::move(previous_); }

void RunLongCall(const std::function<void()>& work, const std::function<CallProgress()>& progress,
                 std::chrono::milliseconds interval) {
    if (!tWaitHandler) {
        work();
        return;
    }
    // The handler is out of place while it runs: a call it makes waits without one.
    CallWaitScope waitingWithout(nullptr);
    const CallWaitHandler& handler = waitingWithout.Previous();
    std::future<void> done = std::async(std::launch::async, work);
    std::exception_ptr handlerError;
    while (done.wait_for(interval) != std::future_status::ready) {
        if (handlerError) continue;
        try {
            handler(progress());
        } catch (...) {
            handlerError = std::current_exception();
        }
    }
    done.get();
    if (handlerError) std::rethrow_exception(handlerError);
}

}  // namespace plat
