#include "ScribbetApp.h"

#include "WindowPolicy.h"

#include "platform/UserDefaults.h"

namespace scribbet {
platform::ApplicationIdentity ScribbetApp::identity()
{
    return {QStringLiteral("scribbet"), QStringLiteral("Scribbet"), bundleIdentifier};
}

ScribbetApp::ScribbetApp()
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.registerDefaults({{recentDocumentsMaximumKey, 5}, {quitAlwaysKeepsWindowsKey, false}});
    defaults.setInteger(5, recentDocumentsMaximumKey);
    defaults.setBool(false, quitAlwaysKeepsWindowsKey);
}

platform::DocumentGroup<TextDocument, EditorView> ScribbetApp::body() const
{
    return platform::DocumentGroup<TextDocument, EditorView>(
               [] { return TextDocument(); },
               [](platform::DocumentBinding<TextDocument> document) {
                   return new EditorView(std::move(document));
               })
        .defaultSize(640, 480);
}

} // namespace scribbet
