// The ports behind the handles given out and not yet closed, so that a stale or made-up handle
// is refused instead of followed.
#pragma once

#include "platform/winmm.h"

#include <map>
#include <memory>
#include <mutex>

template <typename Port>
class LiveHandles {
public:
    void Add(std::unique_ptr<Port> port)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const void* key = port.get();
        ports_[key] = std::move(port);
    }

    Port* Find(const void* handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = ports_.find(handle);
        return found == ports_.end() ? nullptr : found->second.get();
    }

    // Runs `call` on the port behind `handle`; a handle that is not open is refused.
    template <typename Call>
    MMRESULT With(const void* handle, Call call)
    {
        Port* port = Find(handle);
        return port == nullptr ? MMSYSERR_INVALHANDLE : call(*port);
    }

    std::unique_ptr<Port> Remove(const void* handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = ports_.find(handle);
        if (found == ports_.end()) return nullptr;
        std::unique_ptr<Port> port = std::move(found->second);
        ports_.erase(found);
        return port;
    }

private:
    std::mutex mutex_;
    std::map<const void*, std::unique_ptr<Port>> ports_;
};
