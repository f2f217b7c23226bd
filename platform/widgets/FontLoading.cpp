#include "FontLoading.h"

#include <system_error>

#ifdef SCRIBBET_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platform {

// Qt reads fontconfig's configuration and caches, some hundred files, on the window's thread when
// the first font is asked for: 6-7 ms of a launch here. FcInit() does that once, from any thread,
// and Qt's own call then finds it done.
FontLoading::FontLoading()
{
#ifdef SCRIBBET_HAS_FONTCONFIG
    try {
        m_reading = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: Qt reads the configuration itself, as it always could.
    }
#endif
}

FontLoading::~FontLoading()
{
    if (m_reading.joinable())
        m_reading.join();
}

} // namespace platform
