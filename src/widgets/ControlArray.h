#pragma once

// A control array: items 1..N, every access checks its index like any other array of the program.

#include "base/RuntimeError.h"

#include <array>

namespace vaporica {

template <class Control, int N> class ControlArray {
public:
    explicit ControlArray(const char *name) : name_(name) {}

    Control *&operator()(int index) { return items_[check(index)]; }
    Control *operator()(int index) const { return items_[check(index)]; }
    static constexpr int upper() { return N; }

private:
    std::size_t check(int index) const {
        if (index < 1 || index > N)
            throw subscriptError(name_, index, 1, N);
        return static_cast<std::size_t>(index - 1);
    }
    const char *name_;
    std::array<Control *, N> items_{};
};

} // namespace vaporica
