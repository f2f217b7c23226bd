#pragma once

#include <QString>

namespace platform {
class DocumentController;
}

namespace scribbet {

/// The application's reverse-DNS identifier: the desktop entry's name, the session-bus name, and
/// the name of its saved window state.
inline const QString bundleIdentifier = QStringLiteral("org.scribbet.Scribbet");

/// Deletes the window state that an earlier run may have left under the user's Library folder
/// (Saved Application State/<identifier>.savedState), so that nothing is restored. Absorbs every
/// failure: launch goes on, and the next launch tries again.
void discardPersistedWindowRestorationState();

/// Closes every open panel, then makes one untitled document if `controller` holds none.
/// Never closes a document and never makes more than one. Without a controller, it only closes.
void ensureSingleUntitledDocument(platform::DocumentController *controller);

} // namespace scribbet
