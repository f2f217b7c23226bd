#pragma once

#include <thread>

namespace platform {

/// Reads the system's font configuration on a thread of its own while the application connects
/// to the display, so that the first window's text does not wait for it. Made before the
/// application; waits for that thread when it goes. Does nothing where the toolkit's fonts do not
/// come from fontconfig.
class FontLoading final {
public:
    FontLoading();
    ~FontLoading();
    FontLoading(const FontLoading &) = delete;
    FontLoading &operator=(const FontLoading &) = delete;

private:
    std::thread m_reading;
};

} // namespace platform
