#include "ScribbetApp.h"

#include "WindowPolicy.h"

#include "UserDefaults.h"

#include <QtGlobal>

namespace scribbet {

platform::ApplicationIdentity ScribbetApp::identity()
{
    return {QStringLiteral("scribbet"), QStringLiteral("Scribbet"), bundleIdentifier,
            QStringLiteral(SCRIBBET_VERSION),
            QT_TRANSLATE_NOOP("ApplicationIdentity", "A plain-text editor.")};
}

ScribbetApp::ScribbetApp()
{
    platform::UserDefaults::standard().registerDefaults(
        {{recentDocumentsMaximumKey, recentDocumentsMaximum}, {quitAlwaysKeepsWindowsKey, false}});
    storeDocumentSettings();
}

platform::DocumentGroup<TextDocument, EditorView> ScribbetApp::body()
{
    return platform::DocumentGroup<TextDocument, EditorView>(
               [] { return TextDocument(); },
               [](platform::DocumentBinding<TextDocument> document) {
                   return new EditorView(document);
               })
        .defaultSize(640, 480);
}

} // namespace scribbet
