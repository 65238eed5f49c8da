// How the app fits the Linux desktop it runs on: Qt's own dialogs in Korean, the folders its
// file dialogs open in, and the light palette of the pages drawn on the app's artwork.
#pragma once

#include <QString>

class QWidget;

namespace torvane {

// Loads Qt's Korean translations (Debian's qt6-translations-l10n) so that the standard buttons
// and the file chooser speak the program's language whatever the desktop's locale. False when
// they are not installed: the dialogs then stay in English.
bool InstallKoreanQtTranslations();

// Where the file dialogs start: recordings in the user's Music folder, backups in Documents;
// the home folder when that folder does not exist (a dialog would otherwise open in the
// program's working folder).
QString RecordingsFolder();
QString BackupsFolder();

// The pages drawn on the cream artwork keep the app's own light colours under a dark desktop
// theme: its light text would vanish on them.
void UseArtworkPalette(QWidget& window);

}  // namespace torvane
