#pragma once

#include <chrono>

namespace platform {

/// A wall-clock instant, held as seconds in a double.
using Date = std::chrono::time_point<std::chrono::system_clock, std::chrono::duration<double>>;

/// Where the current date comes from; tests replace it.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Date now() const = 0;

    /// The system's wall clock.
    static const Clock &system();
};

} // namespace platform
