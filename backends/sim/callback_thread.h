#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// The service's own thread, on which every input callback runs. Callers hand it a job and wait
// for it, so the callback thread and the caller never run the host's code at the same time
// unless the caller chooses to (a real-time Sleep waits only after sleeping).
class CallbackThread {
public:
    CallbackThread();
    ~CallbackThread();

    using Ticket = uint64_t;
    Ticket Post(std::function<void()> job);
    void Await(Ticket ticket);
    // Runs the job there and waits; inline when already there (a callback calling back in).
    void Run(std::function<void()> job);
    bool IsCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<std::function<void()>> jobs_;
    Ticket posted_ = 0;
    Ticket done_ = 0;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above exists
};
