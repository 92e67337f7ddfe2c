#pragma once
// The program's icons, painted once at start-up (no image files at run time): the tree
// icons by tree-icon index, the details-list icons by list-icon index, toolbar images.

#include <QIcon>

namespace qx::gui::icons {

/// Icon of a tree item (indices of the shared tree icon list).
QIcon tree(int index);
/// Icon of a details-list row (indices of the list icon strip; 0..6 are the marks).
QIcon list(int index);
/// Toolbar image of a command, or a null icon.
QIcon command(int id);
/// The program's own icon.
QIcon application();

}  // namespace qx::gui::icons
