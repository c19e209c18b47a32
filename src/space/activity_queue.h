#pragma once
#include <vector>

// First-in first-out queue of activity indexes on a ring buffer. Each
// activity waits at most once, so a capacity of the number of activities
// suffices and steady-state use never allocates; it grows if ever needed.
class ActivityQueue {
public:
    void reserve(int capacity) {
        if (capacity + 1 > static_cast<int>(ring.size())) grow(capacity + 1);
    }
    bool empty() const { return head == tail; }
    int size() const {
        const int n = tail - head;
        return n >= 0 ? n : n + static_cast<int>(ring.size());
    }
    void push_back(int v) {
        if (ring.empty() || next(tail) == head) grow(2 * static_cast<int>(ring.size()) + 2);
        ring[tail] = v;
        tail = next(tail);
    }
    int front() const { return ring[head]; }
    void pop_front() { head = next(head); }
    void clear() { head = tail = 0; }
    // Entry i counted from the front.
    int operator[](int i) const {
        int at = head + i;
        if (at >= static_cast<int>(ring.size())) at -= static_cast<int>(ring.size());
        return ring[at];
    }
    bool operator==(const ActivityQueue& other) const {
        if (size() != other.size()) return false;
        for (int i = 0; i < size(); ++i)
            if ((*this)[i] != other[i]) return false;
        return true;
    }

private:
    int next(int at) const { return at + 1 == static_cast<int>(ring.size()) ? 0 : at + 1; }
    void grow(int capacity) {
        std::vector<int> bigger(capacity);
        const int n = size();
        for (int i = 0; i < n; ++i) bigger[i] = (*this)[i];
        ring.swap(bigger);
        head = 0;
        tail = n;
    }

    std::vector<int> ring;
    int head = 0, tail = 0;
};
