#include "app/icons.hpp"

#include "app/commands.hpp"
#include "app/icon_glyphs.hpp"
#include "lists/list_icons.hpp"

#include <QHash>
#include <QPainter>

#include <string_view>
#include <utility>

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

// The pictures of the list icon strip, by a report key that names each (the strip's
// indices come from the core's table).
Entry listEntry(int index) {
    const QColor box(0xc8, 0x9b, 0x64), disk(0x8f, 0xa8, 0xc4), net(0x5a, 0x9b, 0xd5);
    const std::pair<std::string_view, Entry> pictures[] = {
        {"info", {Glyph::Info, kBlue}},
        {"vetoed", {Glyph::Warning, kAmber}},
        {"bad", {Glyph::Cross, kRed}},
        {"good", {Glyph::Tick, kGreen}},
        {"rem", {Glyph::Remark, kPurple}},
        {"command", {Glyph::Command, kDark}},
        {"error", {Glyph::ErrorE, kRed}},
        {"lans", {Glyph::Network, net}},
        {"devices", {Glyph::Disks, disk}},
        {"equal", {Glyph::Equal, kGreen}},
        {"notequal", {Glyph::NotEqual, kRed}},
        {"productgroup", {Glyph::Boxes, box}},
        {"product", {Glyph::Box, box}},
        {"volumes", {Glyph::Cylinder, disk}},
        {"files", {Glyph::Folder, kFolder}},
        {"serverparams", {Glyph::Server, QColor(0xb8, 0xc4, 0xd2)}},
        {"setparams", {Glyph::Sliders, kBlue}},
        {"modules", {Glyph::Chip, QColor(0x4a, 0x55, 0x60)}},
        {"filtered", {Glyph::Funnel, kTeal}},
        {"dependencies", {Glyph::Link, kGrey}},
        {"update", {Glyph::Update, kGreen}},
        {"lan", {Glyph::Plug, net}},
        {"device", {Glyph::Disk, disk}},
        {"volume", {Glyph::Cylinder, disk}},
        {"boot-drive", {Glyph::Power, disk}},
        {"products", {Glyph::Boxes, box}},
        {"file-groups", {Glyph::Documents, kGrey}},
        {"search-paths", {Glyph::Magnifier, kDark}},
        {"zrd", {Glyph::TreeGlyph, kTeal}},
        {"partitions", {Glyph::Trees, kTeal}},
        {"exclamation-grey", {Glyph::Exclamation, QColor(0x8a, 0x90, 0x98)}},
        {"exclamation-blue", {Glyph::Exclamation, kBlue}},
        {"exclamation-teal", {Glyph::Exclamation, kTeal}},
        {"exclamation-red", {Glyph::Exclamation, kRed}},
        {"uptime", {Glyph::Clock, kDark}},
        {"memory", {Glyph::Memory, kGreen.darker(120)}},
        {"masterreplica", {Glyph::Crown, kAmber}},
        {"space", {Glyph::Blank, kDark}},
        {"rwreplica", {Glyph::Replica, kGreen.lighter(120)}},
        {"roreplica", {Glyph::Replica, disk}},
        {"subordinate", {Glyph::Replica, QColor(0xb0, 0xb6, 0xbd)}},
        {"dibsize", {Glyph::Database, kTeal.lighter(130)}},
        {"dibsizeold", {Glyph::Database, QColor(0xb0, 0xb6, 0xbd)}},
        {"abend", {Glyph::Bomb, kDark}},
        {"abendline", {Glyph::Line, kGrey}},
        {"productok", {Glyph::BoxTick, box}},
        {"partitionbad", {Glyph::TreeGlyph, kRed}},
        {"configqxk", {Glyph::Gear, kGrey}},
        {"filteredrw", {Glyph::Funnel, kGreen}},
        {"filteredro", {Glyph::Funnel, disk}},
        {"search-pathsconfig", {Glyph::Magnifier, kBlue}},
        {"bad2", {Glyph::DoubleCross, kRed}},
    };
    for (const auto& [key, entry] : pictures) {
        if (lists::iconOfKey(key) == index) return entry;
    }
    return {Glyph::Document, kGrey};
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
