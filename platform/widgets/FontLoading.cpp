#include "FontLoading.h"

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
    m_reading = std::thread([] { FcInit(); });
#endif
}

FontLoading::~FontLoading()
{
    if (m_reading.joinable())
        m_reading.join();
}

} // namespace platform
