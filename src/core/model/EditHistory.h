// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <vector>

namespace tarn {

// Undo/redo memory of whole states with a fixed capacity of earlier states.
template <typename T> class EditHistory {
public:
    explicit EditHistory(T initial, int64_t capacity)
        : current_(std::move(initial)),
          capacity_(static_cast<size_t>(std::max<int64_t>(capacity, 1)))
    { }

    const T &current() const { return current_; }
    bool canUndo() const { return !past_.empty(); }
    bool canRedo() const { return !future_.empty(); }

    // Records a new current state; a state equal to the current one changes nothing.
    void commit(T value)
    {
        if (value == current_)
            return;
        past_.push_back(std::move(current_));
        while (past_.size() > capacity_)
            past_.pop_front();
        current_ = std::move(value);
        future_.clear();
    }

    void undo()
    {
        if (past_.empty())
            return;
        future_.push_back(std::move(current_));
        current_ = std::move(past_.back());
        past_.pop_back();
    }

    void redo()
    {
        if (future_.empty())
            return;
        past_.push_back(std::move(current_));
        current_ = std::move(future_.back());
        future_.pop_back();
    }

private:
    T current_;
    std::deque<T> past_;
    std::vector<T> future_;
    size_t capacity_;
};

} // namespace tarn
