#include "LoadingAhead.h"

#include <QImageReader>

#include <system_error>

#ifdef SCRIBBET_HAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace platform {

LoadingAhead::LoadingAhead(void (*job)())
{
    try {
        m_loading = std::thread(job);
    } catch (const std::system_error &) {
        // No thread to spare: the toolkit loads it itself, when needed.
    }
}

LoadingAhead::~LoadingAhead()
{
    if (m_loading.joinable())
        m_loading.join();
}

// Qt's own call to FcInit() later finds the configuration read.
void loadFontConfiguration()
{
#ifdef SCRIBBET_HAS_FONTCONFIG
    FcInit();
#endif
}

// The toolkit guards its plugin loaders for use from any thread, as image readers may be.
void loadImagePlugins()
{
    QImageReader::supportedImageFormats();
}

} // namespace platform
