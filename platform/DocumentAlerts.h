#pragma once

class QString;
class QWidget;

namespace platform {

class Document;

enum class SaveChoice { Save, DontSave, Cancel };

/// Asks whether to save the changes to `document` before they would be lost.
SaveChoice askToSaveChanges(const Document &document, QWidget *parent);

/// Asks whether to throw away the changes to `document` and go back to its file.
bool confirmRevert(const Document &document, QWidget *parent);

/// Shows an error without waiting for it to be dismissed.
void showError(const QString &message, QWidget *parent);

} // namespace platform
