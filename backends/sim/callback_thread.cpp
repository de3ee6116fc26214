#include "backends/sim/callback_thread.h"

#include "backends/sim/inside_simulator.h"

CallbackThread::CallbackThread() : thread_([this] { Loop(); }) {}

CallbackThread::~CallbackThread()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

CallbackThread::Ticket CallbackThread::Post(std::function<void()> job)
{
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(job));
    wake_.notify_one();
    return ++posted_;
}

void CallbackThread::Await(Ticket ticket)
{
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [&] { return done_ >= ticket; });
}

void CallbackThread::Run(std::function<void()> job)
{
    if (IsCurrent()) {
        job();
    } else {
        Await(Post(std::move(job)));
    }
}

void CallbackThread::Loop()
{
    SimulatorScope simulator;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
        ++done_;
        finished_.notify_all();
    }
}
