#include "platform/PowerKey.h"

#include "platform/Sync.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace platform {

void StartPowerKeySignalWatcher() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) == 0 && signal == SIGUSR1)
                PressPowerKey();
        }
    }).detach();
}

void PressPowerKey() {
    SetNamedEvent(kPowerKeyEvent);
}

} // namespace platform
