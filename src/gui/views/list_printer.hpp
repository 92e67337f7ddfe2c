#pragma once
// Prints a details list as a table.

#include "lists/list_model.hpp"

#include <QString>
#include <QStringList>

class QPagedPaintDevice;

namespace qx::gui {

/// Paints a list as a table on pages: the title and "Page n of m" on every page, the column
/// headers (as shown, `headers`) at the top of every page, one row per list row with its mark.
/// Wide lists shrink their widest columns and wrap their texts. False when the device cannot
/// be painted on (a printer that is not ready, an unwritable PDF file).
bool printList(QPagedPaintDevice& device, const QString& title, const lists::ListModel& list,
               const QStringList& headers);

}  // namespace qx::gui
