#include "background_hashing.h"

BackgroundHashing::BackgroundHashing(Hashing& hashing) : hashing_(hashing), thread_([this] { Run(); }) {}

BackgroundHashing::~BackgroundHashing() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool BackgroundHashing::Settle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    return !failed_;
}

bool BackgroundHashing::Begin() {
    Settle();
    const bool begun = hashing_.Begin();
    std::lock_guard lock(mutex_);
    failed_ = !begun;
    return begun;
}

bool BackgroundHashing::Add(std::span<const uint8_t> bytes) {
    if (!Settle()) return false;
    {
        std::lock_guard lock(mutex_);
        piece_ = bytes;
        pending_ = true;
    }
    changed_.notify_all();
    return true;
}

bool BackgroundHashing::Finish(Sha256Digest& digest) { return Settle() && hashing_.Finish(digest); }

void BackgroundHashing::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_) return;
        const std::span<const uint8_t> piece = piece_;
        lock.unlock();
        const bool added = hashing_.Add(piece);
        lock.lock();
        if (!added) failed_ = true;
        pending_ = false;
        changed_.notify_all();
    }
}
