#pragma once

#include "AppDelegate.h"
#include "EditorView.h"
#include "TextDocument.h"

#include "ApplicationRunner.h"
#include "DocumentGroup.h"

namespace scribbet {

/// The application object: it attaches the application delegate, settles the document
/// machinery's two settings and declares the one scene, a group of plain-text documents each
/// shown in an EditorView.
class ScribbetApp final {
public:
    static platform::ApplicationIdentity identity();

    ScribbetApp();

    /// The scene: it needs no application object, so a test can make one alone.
    static platform::DocumentGroup<TextDocument, EditorView> body();

    platform::ApplicationDelegate &delegate() const { return appDelegate.delegate(); }

private:
    platform::ApplicationDelegateAdaptor<AppDelegate> appDelegate;
};

} // namespace scribbet
