#pragma once
#include <atomic>
#include <filesystem>
#include <thread>

// A FIFO for readers that must refuse it without opening it. One that opens it anyway would block for
// ever; the trap lets it go at once (a writer opens the FIFO and closes it, so the reader reads nothing)
// and counts it, so the fault fails the test instead of hanging it.
class FifoTrap {
public:
    explicit FifoTrap(std::filesystem::path path);
    ~FifoTrap();
    FifoTrap(const FifoTrap&) = delete;
    FifoTrap& operator=(const FifoTrap&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // How many times a reader had the FIFO open.
    int Openings() const { return openings_; }

private:
    std::filesystem::path path_;
    std::atomic<bool> stop_{false};
    std::atomic<int> openings_{0};
    std::thread releaser_;
};
