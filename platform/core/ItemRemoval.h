#pragma once

#include <QStringList>

namespace platform {

/// Removes the item at `base`/`components...` with everything below it, never following a
/// symbolic link at any level below `base` and never changing a permission. A link, dangling or
/// looping or not, is removed as a link. It works through directory descriptors, never by path,
/// so that a link swapped in while it runs cannot lead it outside the item, and it reaches any
/// depth. What cannot be removed stays; failures are not reported.
void removeItemBelow(const QString &base, const QStringList &components);

} // namespace platform
