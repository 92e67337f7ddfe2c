#pragma once
// The program's icons: SVG pictures in the program's resources, reached by the numbers of
// the core's icon tables (tree icons, the details list's strip) and by command.

#include <QIcon>
#include <QString>

namespace qx::gui::icons {

/// Icon of a tree item (indices of the shared tree icon list).
QIcon tree(int index);
/// Icon of a details-list row (indices of the list icon strip; 0..6 are the marks).
QIcon list(int index);
/// Toolbar image of a command, or a null icon.
QIcon command(int id);
/// The program's own icon.
QIcon application();

/// Resource paths of the pictures behind `tree` and `list` (for checking they exist).
QString treePath(int index);
QString listPath(int index);

}  // namespace qx::gui::icons
