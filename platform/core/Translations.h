#pragma once

namespace platform {

/// Speaks the user's languages (LANGUAGE, then LC_ALL, LC_MESSAGES and LANG): installs Qt's own
/// translations, for its dialogs, buttons and key names, and the application's, found in
/// `share/<application name>/translations` beside the folder of the program. A language without a
/// translation stays English. Call once the application object exists.
void installTranslations();

} // namespace platform
