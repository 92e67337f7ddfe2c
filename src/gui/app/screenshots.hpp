#pragma once
// `qxconfig FILE --screenshot DIR [MORE FILES]`: renders the main views and dialogs into
// PNG files for the documentation, then quits.

#include <QString>
#include <QStringList>

namespace qx::gui {

class CQXConfigApp;

/// Opens the extra files, waits for them, writes the screenshots and ends the program.
void takeScreenshots(CQXConfigApp& app, const QString& dir, const QStringList& moreFiles);

}  // namespace qx::gui
