#include "tests/support/FifoTrap.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

FifoTrap::FifoTrap(std::filesystem::path path) : path_(std::move(path)) {
    EXPECT_EQ(::mkfifo(path_.c_str(), 0644), 0) << path_;
    releaser_ = std::thread([this] {
        while (!stop_) {
            // Opening for writing without blocking succeeds only while a reader has the FIFO open.
            if (const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                ++openings_;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
}

FifoTrap::~FifoTrap() {
    stop_ = true;
    releaser_.join();
}
