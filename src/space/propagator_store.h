#pragma once
#include <cstddef>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "space/propagators.h"

// Owns the propagators of one space. Large problems have tens of thousands:
// they are made in blocks of fixed-size cells and all go with the space, in
// the order they were made.
class PropagatorStore {
public:
    static constexpr std::size_t cellSize = 32;

    PropagatorStore() = default;
    PropagatorStore(const PropagatorStore&) = delete;
    PropagatorStore& operator=(const PropagatorStore&) = delete;
    ~PropagatorStore() {
        for (std::size_t i = made.size(); i-- > 0;) made[i]->~Propagator();
    }

    void reserve(std::size_t count) { made.reserve(count); }

    template <class Rule, class... Args>
    Rule& make(Args&&... args) {
        static_assert(sizeof(Rule) <= cellSize && alignof(Rule) <= alignof(std::max_align_t));
        Rule* rule = new (nextCell()) Rule(std::forward<Args>(args)...);
        made.push_back(rule);
        return *rule;
    }

    std::size_t size() const { return made.size(); }
    bool empty() const { return made.empty(); }
    Propagators::Propagator* operator[](std::size_t i) const { return made[i]; }

private:
    static constexpr std::size_t cellsPerBlock = 4096;

    void* nextCell() {
        if (usedInBlock == cellsPerBlock || blocks.empty()) {
            blocks.emplace_back(new std::max_align_t[cellSize * cellsPerBlock /
                                                     sizeof(std::max_align_t)]);
            usedInBlock = 0;
        }
        std::byte* block = reinterpret_cast<std::byte*>(blocks.back().get());
        return block + cellSize * usedInBlock++;
    }

    std::vector<std::unique_ptr<std::max_align_t[]>> blocks;
    std::size_t usedInBlock = 0;
    std::vector<Propagators::Propagator*> made;
};
