// A fixed-size queue from one thread to one other, without locks: the game
// thread hands landings and names to the audio thread, which must never wait.
// A full queue refuses the newcomer and counts it.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace sound {

template <typename T, std::size_t Capacity>
class EventQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // Producer only. False (and counted) when the queue is full.
    bool push(const T& item)
    {
        const std::size_t tail = tailIndex.load(std::memory_order_relaxed);
        if (tail - headIndex.load(std::memory_order_acquire) == Capacity) {
            droppedCount.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        slots[tail & (Capacity - 1)] = item;
        tailIndex.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer only. False when there is nothing to take.
    bool pop(T& item)
    {
        const std::size_t head = headIndex.load(std::memory_order_relaxed);
        if (head == tailIndex.load(std::memory_order_acquire))
            return false;
        item = slots[head & (Capacity - 1)];
        headIndex.store(head + 1, std::memory_order_release);
        return true;
    }

    // Items refused because the queue was full, from any thread.
    std::uint64_t dropped() const { return droppedCount.load(std::memory_order_relaxed); }

private:
    std::array<T, Capacity> slots{};
    // Running counts of items put in and taken out; their difference is the fill.
    std::atomic<std::size_t> tailIndex{0};
    std::atomic<std::size_t> headIndex{0};
    std::atomic<std::uint64_t> droppedCount{0};
};

} // namespace sound
