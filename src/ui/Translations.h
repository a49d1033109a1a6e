#pragma once
// Qt's own Spanish texts for its standard buttons and dialogs (Debian qt6-translations-l10n).
class QCoreApplication;

namespace tesmira::ui {

// Installs the Spanish catalogue when it is there; false when it is not (the buttons then
// stay in English and nothing else changes).
bool installSpanish(QCoreApplication& app);

} // namespace tesmira::ui
