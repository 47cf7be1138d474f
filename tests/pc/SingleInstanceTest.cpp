#include "pc/system/SingleInstance.h"

#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Each test has a name of its own, so it never meets a running OTDR or another test; its lock file goes
// with it.
struct TestName {
    std::string name;
    explicit TestName(const char* what)
        : name(std::string("Morvath Quellin Otdr_TestManager ") + what + " " + std::to_string(::getpid())) {}
    ~TestName() { ::unlink(SingleInstance::LockPath(name).c_str()); }
    operator const std::string&() const { return name; }
};

// Runs SingleInstance(name) in a child process; its exit status tells whether it acquired (0), was
// refused because another holds the name (1) or neither (2).
int TryInChild(const std::string& name) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        SingleInstance instance(name);
        ::_exit(instance.Acquired() ? 0 : instance.OtherRunning() ? 1 : 2);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool AcquiredInChild(const std::string& name) {
    return TryInChild(name) == 0;
}

// A child that acquires the name, reports through a pipe and then waits to be killed.
struct Holder {
    pid_t pid = -1;
    bool acquired = false;

    explicit Holder(const std::string& name) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            SingleInstance instance(name);
            const char answer = instance.Acquired() ? 'y' : 'n';
            (void)!::write(fds[1], &answer, 1);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        char answer = 0;
        acquired = ::read(fds[0], &answer, 1) == 1 && answer == 'y';
        ::close(fds[0]);
    }
    void Kill() {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
    }
    ~Holder() {
        if (pid > 0)
            Kill();
    }
};

TEST(SingleInstance, SecondProcessIsRefusedWhileTheFirstHoldsTheName) {
    const TestName name("hold");
    SingleInstance first(name.name);
    ASSERT_TRUE(first.Acquired());
    EXPECT_FALSE(first.OtherRunning());
    EXPECT_EQ(TryInChild(name), 1);
    EXPECT_EQ(TryInChild(name), 1); // a refused start does not disturb the holder
}

TEST(SingleInstance, KilledHolderLeavesNoStaleLock) {
    const TestName name("crash");
    Holder holder(name);
    ASSERT_TRUE(holder.acquired);
    EXPECT_FALSE(SingleInstance(name.name).Acquired());
    holder.Kill();
    SingleInstance next(name.name);
    EXPECT_TRUE(next.Acquired());
    EXPECT_FALSE(AcquiredInChild(name));
}

TEST(SingleInstance, ReleasedWhenDestroyed) {
    const TestName name("scope");
    {
        SingleInstance first(name.name);
        ASSERT_TRUE(first.Acquired());
        EXPECT_FALSE(AcquiredInChild(name));
    }
    EXPECT_TRUE(AcquiredInChild(name));
}

TEST(SingleInstance, DifferentNamesDoNotConflict) {
    const TestName one("one");
    const TestName two("two");
    Holder holder(one);
    ASSERT_TRUE(holder.acquired);
    EXPECT_TRUE(AcquiredInChild(two));
    EXPECT_FALSE(AcquiredInChild(one));
}

TEST(SingleInstance, LockPathIsSanitisedAndPerUser) {
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    const std::string user = std::to_string(::getuid());

    ::setenv("XDG_RUNTIME_DIR", "/tmp", 1);
    EXPECT_EQ(SingleInstance::LockPath("Morvath Quellin Otdr_TestManager"),
              "/tmp/Morvath_Quellin_Otdr_TestManager." + user + ".lock");
    EXPECT_EQ(SingleInstance::LockPath("a/../b"), "/tmp/a_.._b." + user + ".lock");

    ::setenv("XDG_RUNTIME_DIR", "/nonexistent-runtime-dir", 1);
    EXPECT_EQ(SingleInstance::LockPath("x y"), "/tmp/x_y." + user + ".lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SingleInstance::LockPath("x y"), "/tmp/x_y." + user + ".lock");

    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

TEST(SingleInstance, UnusableLockFolderIsNotMistakenForATwin) {
    // No lock file can be created in procfs: nobody holds the name, and nobody is said to.
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    ::setenv("XDG_RUNTIME_DIR", "/proc/self", 1);
    SingleInstance instance(std::string("nowhere"));
    EXPECT_FALSE(instance.Acquired());
    EXPECT_FALSE(instance.OtherRunning());
    if (old)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
