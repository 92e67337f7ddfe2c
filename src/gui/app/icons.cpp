#include "app/icons.hpp"

#include "app/commands.hpp"
#include "app/icon_glyphs.hpp"

#include <QHash>
#include <QPainter>

namespace qx::gui::icons {
namespace {

using namespace detail;

QIcon make(Glyph g, QColor c = kBlue) {
    QIcon icon;
    for (int s : {16, 20, 24, 32, 48}) icon.addPixmap(render(g, c, s));
    return icon;
}

struct Entry {
    Glyph glyph;
    QColor colour;
};

QIcon cached(QHash<int, QIcon>& cache, int key, const Entry& e) {
    auto it = cache.find(key);
    if (it != cache.end()) return *it;
    return *cache.insert(key, make(e.glyph, e.colour));
}

Entry listEntry(int index) {
    const QColor box(0xc8, 0x9b, 0x64), disk(0x8f, 0xa8, 0xc4), net(0x5a, 0x9b, 0xd5);
    switch (index) {
        case 0:
            return {Glyph::Info, kBlue};
        case 1:
            return {Glyph::Warning, kAmber};
        case 2:
            return {Glyph::Cross, kRed};
        case 3:
            return {Glyph::Tick, kGreen};
        case 4:
            return {Glyph::Remark, kPurple};
        case 5:
            return {Glyph::Command, kDark};
        case 6:
            return {Glyph::ErrorE, kRed};
        case 7:
            return {Glyph::Network, net};
        case 8:
            return {Glyph::Disks, disk};
        case 9:
            return {Glyph::Equal, kGreen};
        case 10:
            return {Glyph::NotEqual, kRed};
        case 11:
            return {Glyph::Boxes, box};
        case 12:
            return {Glyph::Box, box};
        case 13:
            return {Glyph::Cylinder, disk};
        case 14:
            return {Glyph::Folder, kFolder};
        case 15:
            return {Glyph::Server, QColor(0xb8, 0xc4, 0xd2)};
        case 16:
            return {Glyph::Sliders, kBlue};
        case 17:
            return {Glyph::Chip, QColor(0x4a, 0x55, 0x60)};
        case 18:
            return {Glyph::Funnel, kTeal};
        case 19:
            return {Glyph::Link, kGrey};
        case 20:
            return {Glyph::Update, kGreen};
        case 21:
            return {Glyph::Plug, net};
        case 22:
            return {Glyph::Disk, disk};
        case 23:
            return {Glyph::Cylinder, disk};
        case 24:
            return {Glyph::Power, disk};
        case 26:
            return {Glyph::Boxes, box};
        case 27:
            return {Glyph::Documents, kGrey};
        case 28:
            return {Glyph::Magnifier, kDark};
        case 29:
            return {Glyph::TreeGlyph, kTeal};
        case 30:
            return {Glyph::Trees, kTeal};
        case 32:
            return {Glyph::Exclamation, QColor(0x8a, 0x90, 0x98)};
        case 33:
            return {Glyph::Exclamation, kBlue};
        case 34:
            return {Glyph::Exclamation, kTeal};
        case 35:
            return {Glyph::Exclamation, kRed};
        case 37:
            return {Glyph::Clock, kDark};
        case 38:
            return {Glyph::Memory, kGreen.darker(120)};
        case 39:
            return {Glyph::Crown, kAmber};
        case 40:
            return {Glyph::Blank, kDark};
        case 42:
            return {Glyph::Replica, kGreen.lighter(120)};
        case 43:
            return {Glyph::Replica, disk};
        case 44:
            return {Glyph::Replica, QColor(0xb0, 0xb6, 0xbd)};
        case 45:
            return {Glyph::Database, kTeal.lighter(130)};
        case 46:
            return {Glyph::Database, QColor(0xb0, 0xb6, 0xbd)};
        case 47:
            return {Glyph::Bomb, kDark};
        case 48:
            return {Glyph::Line, kGrey};
        case 49:
            return {Glyph::BoxTick, box};
        case 50:
            return {Glyph::TreeGlyph, kRed};
        case 51:
            return {Glyph::Gear, kGrey};
        case 52:
            return {Glyph::Funnel, kGreen};
        case 53:
            return {Glyph::Funnel, disk};
        case 54:
            return {Glyph::Magnifier, kBlue};
        case 55:
            return {Glyph::DoubleCross, kRed};
        default:
            return {Glyph::Document, kGrey};
    }
}

Entry treeEntry(int index) {
    const QColor box(0xc8, 0x9b, 0x64), disk(0x8f, 0xa8, 0xc4), net(0x5a, 0x9b, 0xd5);
    switch (index) {
        case 2:
            return {Glyph::Chip, QColor(0x4a, 0x55, 0x60)};
        case 4:
            return {Glyph::Box, box};
        case 10:
            return {Glyph::Document, kGrey};
        case 14:
            return {Glyph::Checklist, kGreen};
        case 16:
            return {Glyph::Boxes, box};
        case 18:
            return {Glyph::Checklist, kGreen};
        case 22:
            return {Glyph::Lightning, kAmber};
        case 30:
            return {Glyph::Server, QColor(0xb8, 0xc4, 0xd2)};
        case 32:
            return {Glyph::Plug, net};
        case 34:
            return {Glyph::Disks, disk};
        case 36:
            return {Glyph::Sliders, kBlue};
        case 40:
            return {Glyph::Gear, kGrey};
        case 44:
            return {Glyph::Funnel, kTeal};
        case 46:
            return {Glyph::Funnel, kBlue};
        case 48:
            return {Glyph::Report, kBlue};
        case 50:
            return {Glyph::Cup, QColor(0xc0, 0x5a, 0x2c)};
        case 52:
            return {Glyph::Network, net};
        case 54:
            return {Glyph::Cylinder, disk};
        case 56:
            return {Glyph::Folder, kFolder};
        case 58:
            return {Glyph::Update, kGreen};
        case 60:
            return {Glyph::Info, kBlue};
        case 62:
            return {Glyph::Power, disk};
        case 64:
            return {Glyph::Boxes, box};
        case 66:
            return {Glyph::Documents, kGrey};
        case 68:
            return {Glyph::Magnifier, kDark};
        case 70:
            return {Glyph::TreeGlyph, kTeal};
        case 72:
            return {Glyph::Trees, kTeal};
        case 76:
            return {Glyph::FolderOpen, kFolder};
        case 78:
            return {Glyph::Equal, kGreen};
        case 80:
            return {Glyph::NotEqual, kRed};
        default:
            return {Glyph::Document, kGrey};
    }
}

}  // namespace

QIcon tree(int index) {
    static QHash<int, QIcon> cache;
    return cached(cache, index, treeEntry(index));
}

QIcon list(int index) {
    static QHash<int, QIcon> cache;
    return cached(cache, index, listEntry(index));
}

QIcon command(int id) {
    static QHash<int, QIcon> cache;
    const int filter = cmd::filterIcon(id);
    if (filter >= 0) return list(filter);
    Glyph g;
    switch (id) {
        case cmd::FileOpen:
            g = Glyph::Open;
            break;
        case cmd::OpenDocuments:
            g = Glyph::OpenMany;
            break;
        case cmd::Save:
            g = Glyph::Save;
            break;
        case cmd::CreateQxs:
            g = Glyph::Qxs;
            break;
        case cmd::Compare:
            g = Glyph::Compare;
            break;
        case cmd::TreeOpen:
            g = Glyph::Expand;
            break;
        case cmd::TreeClose:
            g = Glyph::Collapse;
            break;
        case cmd::FilePrint:
            g = Glyph::Printer;
            break;
        case cmd::WindowCascade:
            g = Glyph::Cascade;
            break;
        case cmd::WindowTileHorz:
            g = Glyph::TileH;
            break;
        case cmd::WindowTileVert:
            g = Glyph::TileV;
            break;
        case cmd::FileClose:
            g = Glyph::CloseWin;
            break;
        case cmd::CloseAll:
            g = Glyph::CloseAll;
            break;
        case cmd::CloseAllConfig:
            g = Glyph::CloseConfig;
            break;
        case cmd::RunChecker:
            g = Glyph::Run;
            break;
        case cmd::AppAbout:
            g = Glyph::Help;
            break;
        case cmd::LiveUpdate:
            g = Glyph::Download;
            break;
        case cmd::Preferences:
            g = Glyph::Gear;
            break;
        default:
            return {};
    }
    return cached(cache, id, {g, kGrey});
}

QIcon application() {
    // The same drawing the desktop entry installs, so window and launcher agree.
    static const QIcon icon(QStringLiteral(":/icons/qxconfig.svg"));
    return icon;
}

}  // namespace qx::gui::icons
