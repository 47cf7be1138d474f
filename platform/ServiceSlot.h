#pragma once
#include <memory>
#include <mutex>

namespace platform {

// The replaceable backend of a platform service, shared by all threads. Callers hold their own
// reference while they use it, so replacing it never pulls it away under them.
template <typename Service> class ServiceSlot {
public:
    std::shared_ptr<Service> Get() {
        std::lock_guard lock(mutex_);
        return service_;
    }
    void Set(std::shared_ptr<Service> service) {
        std::lock_guard lock(mutex_);
        service_ = std::move(service);
    }

    // Never destroyed: detached threads may still use it while the process ends.
    static ServiceSlot& Instance() {
        static auto* slot = new ServiceSlot;
        return *slot;
    }

private:
    std::mutex mutex_;
    std::shared_ptr<Service> service_;
};

} // namespace platform
