#include "ApplicationDelegate.h"

namespace platform {
namespace {

QPointer<ApplicationDelegate> &installedDelegate()
{
    static QPointer<ApplicationDelegate> delegate;
    return delegate;
}

} // namespace

ApplicationDelegate *ApplicationDelegate::installed()
{
    return installedDelegate();
}

void ApplicationDelegate::install(ApplicationDelegate *delegate)
{
    installedDelegate() = delegate;
}

} // namespace platform
