#pragma once
// A hasher that hashes on a thread of its own, so that the packer reads and writes the next piece of a
// body on one core while the last piece is hashed on the other. Add hands its piece over and returns;
// the piece must stay as it is until the next call, which first waits for the piece to be hashed.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/hashing.h"

class BackgroundHashing final : public Hashing {
public:
    explicit BackgroundHashing(Hashing& hashing);
    ~BackgroundHashing();
    BackgroundHashing(const BackgroundHashing&) = delete;
    BackgroundHashing& operator=(const BackgroundHashing&) = delete;

    bool Begin() override;
    bool Add(std::span<const uint8_t> bytes) override;
    bool Finish(Sha256Digest& digest) override;

private:
    // Waits until the thread has hashed the piece it was given; false when a piece failed.
    bool Settle();
    void Run();

    Hashing& hashing_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::span<const uint8_t> piece_;
    bool pending_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};
