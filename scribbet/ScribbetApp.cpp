#include "ScribbetApp.h"

#include "platform/UserDefaults.h"

namespace scribbet {
namespace {

const QString recentDocumentsMaximum = QStringLiteral("NSRecentDocumentsMaximum");
const QString quitAlwaysKeepsWindows = QStringLiteral("NSQuitAlwaysKeepsWindows");

} // namespace

platform::ApplicationIdentity ScribbetApp::identity()
{
    return {QStringLiteral("scribbet"), QStringLiteral("Scribbet"),
            QStringLiteral("org.scribbet.Scribbet")};
}

ScribbetApp::ScribbetApp()
{
    platform::UserDefaults &defaults = platform::UserDefaults::standard();
    defaults.registerDefaults({{recentDocumentsMaximum, 5}, {quitAlwaysKeepsWindows, false}});
    defaults.setInteger(5, recentDocumentsMaximum);
    defaults.setBool(false, quitAlwaysKeepsWindows);
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
