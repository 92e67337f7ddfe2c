#pragma once
// The picture vocabulary of the icons: glyphs drawn on a 16 x 16 grid with QPainter.

#include <QColor>
#include <QPixmap>

class QPainter;

namespace qx::gui::icons::detail {

enum class Glyph {
    Info,
    Warning,
    Cross,
    Tick,
    Remark,
    Command,
    ErrorE,
    Equal,
    NotEqual,
    Exclamation,
    Network,
    Plug,
    Disk,
    Disks,
    Cylinder,
    Folder,
    FolderOpen,
    Document,
    Documents,
    Server,
    Sliders,
    Chip,
    Funnel,
    Link,
    Update,
    Box,
    Boxes,
    BoxTick,
    Magnifier,
    TreeGlyph,
    Trees,
    Clock,
    Memory,
    Crown,
    Blank,
    Replica,
    Database,
    Bomb,
    Line,
    Gear,
    Lightning,
    Checklist,
    Report,
    Cup,
    Power,
    DoubleCross,
    Expand,
    Collapse,
    Cascade,
    TileH,
    TileV,
    CloseWin,
    CloseAll,
    CloseConfig,
    Printer,
    Save,
    Open,
    OpenMany,
    Compare,
    Qxs,
    Run,
    Help,
    Download,
};

inline const QColor kBlue(0x2a, 0x6f, 0xc9), kRed(0xd3, 0x2f, 0x2f), kGreen(0x2e, 0x9d, 0x44),
    kAmber(0xf2, 0xb1, 0x1b), kGrey(0x6b, 0x72, 0x7a), kTeal(0x16, 0x9c, 0x9c), kPurple(0x7b, 0x4f, 0xc2),
    kDark(0x3a, 0x40, 0x48), kFolder(0xe8, 0xb0, 0x3c), kPaper(0xfb, 0xfb, 0xfb);

/// A glyph in one colour at a pixel size.
QPixmap render(Glyph g, QColor c, int size);

}  // namespace qx::gui::icons::detail
