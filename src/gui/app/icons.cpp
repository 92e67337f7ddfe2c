#include "app/icons.hpp"

#include "app/commands.hpp"
#include "lists/list_icons.hpp"
#include "lists/tree_icons.hpp"

#include <QHash>

#include <string_view>

// The resources live in the GUI library: a static library's initialiser is only linked
// in when something names it.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace qx::gui::icons {
namespace {

QString path(std::string_view name) {
    static const bool ready = (initIconResources(), true);
    (void)ready;
    return QStringLiteral(":/icons/") + QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())) +
           QStringLiteral(".svg");
}

// Icons are shared: a QIcon renders and caches its pictures per size once.
QIcon cached(QHash<QString, QIcon>& cache, const QString& file) {
    auto it = cache.find(file);
    if (it == cache.end()) it = cache.insert(file, QIcon(file));
    return *it;
}

QHash<QString, QIcon>& cache() {
    static QHash<QString, QIcon> icons;
    return icons;
}

}  // namespace

QString treePath(int index) {
    return path(std::string("tree/") + std::string(lists::treeIconName(index)));
}

QString listPath(int index) {
    std::string_view key = lists::keyOfIcon(index);
    // An index no key names shows what unknown keys show.
    if (key.empty()) key = lists::keyOfIcon(lists::icon::kInformation);
    return path(std::string("list/") + std::string(key));
}

QIcon tree(int index) {
    return cached(cache(), treePath(index));
}

QIcon list(int index) {
    return cached(cache(), listPath(index));
}

QIcon command(int id) {
    const int filter = cmd::filterIcon(id);
    if (filter >= 0) return list(filter);
    const QString picture = cmd::picture(id);
    if (picture.isEmpty()) return {};
    return cached(cache(), path(picture.toStdString()));
}

QIcon application() {
    // The same drawing the desktop entry installs, so window and launcher agree.
    return cached(cache(), path("qxconfig"));
}

}  // namespace qx::gui::icons
