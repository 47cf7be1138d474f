#pragma once

#include <string>
#include <string_view>

// Stands in for a named mutex that is created initially owned: the first process to construct one with a
// name holds it until the object is destroyed or the process ends, however it ends (the kernel drops the
// lock with the process's last descriptor, so a crash never leaves it stale). Other processes of the same
// user constructing one with that name are refused.
class SingleInstance {
public:
    explicit SingleInstance(std::string_view name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool Acquired() const { return m_iFd >= 0; }
    // Another process holds the name. Not the same as !Acquired(): when no lock file can be made (a
    // read-only or full folder) nobody holds it, and the program should start rather than claim a twin.
    bool OtherRunning() const { return m_bOtherRunning; }

    // The lock file standing for the name: $XDG_RUNTIME_DIR (else /tmp), the name's characters outside
    // [A-Za-z0-9._-] replaced by '_', and the user id, so two users never refuse each other.
    static std::string LockPath(std::string_view name);

private:
    int m_iFd = -1;
    bool m_bOtherRunning = false;
};
