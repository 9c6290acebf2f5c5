// A long automation call keeps its caller alive. The server does the work
// on a worker thread while the calling thread runs the waiting handler its
// caller installed (the part COM's message filter plays), several times a
// second, with how far the work has come: the caller repaints, moves its
// progress window and keeps its windows answering. Without a handler the
// work simply runs on the calling thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace plat {

// How far a long call has come: `Done` of `Total` units of the server's
// own choosing; Total 0 when the server cannot tell.
struct CallProgress {
    uint64_t Done = 0;
    uint64_t Total = 0;
};

using CallWaitHandler = std::function<void(const CallProgress&)>;

// Installs `handler` as this thread's waiting handler for the scope's
// lifetime; the handler installed before comes back when it ends.
class CallWaitScope {
public:
    explicit CallWaitScope(CallWaitHandler handler);
    ~CallWaitScope();
    CallWaitScope(const CallWaitScope&) = delete;
    CallWaitScope& operator=(const CallWaitScope&) = delete;

    // The handler this scope displaced.
    const CallWaitHandler& Previous() const { return previous_; }

private:
    CallWaitHandler previous_;
};

// For servers: runs `work` to its end. With a waiting handler installed on
// this thread, the work runs on a worker thread and the handler is called
// here with progress() every `interval` until it ends; a long call started
// from inside the handler runs without one. The work's exception is raised
// here, after the worker has ended; so is the handler's, which stops its
// calls but never abandons a running worker.
void RunLongCall(const std::function<void()>& work, const std::function<CallProgress()>& progress,
                 std::chrono::milliseconds interval = std::chrono::milliseconds(100));

}  // namespace plat
