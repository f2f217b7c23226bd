#pragma once

#include <thread>

namespace platform {

/// Runs `job` on a thread of its own while the window's thread builds the first window, so that
/// the window does not wait for what the toolkit would load on its thread the first time it is
/// needed. Waits for that thread when it goes. Where no thread can be had, does nothing: the
/// toolkit loads it when needed, as it always could.
class LoadingAhead final {
public:
    explicit LoadingAhead(void (*job)());
    ~LoadingAhead();
    LoadingAhead(const LoadingAhead &) = delete;
    LoadingAhead &operator=(const LoadingAhead &) = delete;

private:
    std::thread m_loading;
};

/// Reads the system's font configuration and caches, some hundred files (6-7 ms of a launch
/// here); nothing where the toolkit's fonts do not come from fontconfig. Safe before the
/// application object exists, and best started then.
void loadFontConfiguration();

/// Loads the image format plugins. The first image the toolkit reads from a file, as the menu bar
/// reads its built-in overflow arrow, has the reader load every plugin installed to ask whether
/// it claims the format: 2.5 ms here. Needs the application object.
void loadImagePlugins();

} // namespace platform
