#pragma once
// The model's setters notify only on a real change.
#include <utility>

namespace tesmira {

// Stores `value` in `member` when they differ; answers whether it did (the caller then notifies).
template <class T, class U>
bool setIfDifferent(T& member, U&& value)
{
    if (member == value)
        return false;
    member = std::forward<U>(value);
    return true;
}

} // namespace tesmira
