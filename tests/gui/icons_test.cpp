// The pictures behind every icon number of the core's tables and every toolbar command:
// each is in the program's resources, is a drawing Qt can read, and shows at 1x and 2x.
#include "app/icons.hpp"
#include "app/commands.hpp"
#include "lists/list_icons.hpp"
#include "lists/tree_icons.hpp"

#include <QSvgRenderer>
#include <QtTest>

using namespace qx;
using namespace qx::gui;

namespace {

int opaquePixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qAlpha(img.pixel(x, y)) > 128;
    return n;
}

// A picture at 16 and 32 pixels and at 16 pixels on a screen of twice the density.
void checkDrawn(const QIcon& icon, const QString& what, bool blank = false) {
    QVERIFY2(!icon.isNull(), qPrintable(what));
    for (int size : {16, 32}) {
        const QImage img = icon.pixmap(size, size).toImage();
        QVERIFY2(img.size() == QSize(size, size),
                 qPrintable(QStringLiteral("%1 at %2 px").arg(what).arg(size)));
        if (!blank) QVERIFY2(opaquePixels(img) > size, qPrintable(what + QStringLiteral(" is empty")));
    }
    const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
    QCOMPARE(sharp.toImage().size(), QSize(32, 32));
}

void checkResource(const QString& path) {
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is missing")));
    QVERIFY2(QSvgRenderer(path).isValid(), qPrintable(path + QStringLiteral(" is no drawing")));
}

}  // namespace

class IconsTest : public QObject {
    Q_OBJECT

private slots:
    void everyListIconIsDrawn() {
        for (const lists::ListIcon& i : lists::kListIcons) {
            checkResource(icons::listPath(i.index));
            checkDrawn(icons::list(i.index), QString::fromUtf8(i.key.data(), i.key.size()), i.key == "space");
        }
    }

    void everyTreeIconIsDrawn() {
        for (const lists::TreeIcon& t : lists::kTreeIcons) {
            checkResource(icons::treePath(t.index));
            checkDrawn(icons::tree(t.index), QString::fromUtf8(t.element.data(), t.element.size()));
        }
        checkResource(icons::treePath(lists::kOtherTreeIcon));
        checkDrawn(icons::tree(lists::kOtherTreeIcon), QStringLiteral("other"));
        // An index nobody uses still shows a picture rather than a gap.
        QCOMPARE(icons::treePath(999), icons::treePath(lists::kOtherTreeIcon));
        QCOMPARE(icons::listPath(999), icons::listPath(lists::icon::kInformation));
    }

    void everyToolbarCommandHasItsPicture() {
        for (int id : {cmd::FileOpen,         cmd::OpenDocuments, cmd::Save,          cmd::CreateQxs,
                       cmd::Compare,          cmd::TreeOpen,      cmd::TreeClose,     cmd::FilterInformation,
                       cmd::FilterNotChecked, cmd::FilterBad,     cmd::FilterGood,    cmd::FilterRemark,
                       cmd::FilterCommand,    cmd::FilePrint,     cmd::WindowCascade, cmd::WindowTileHorz,
                       cmd::WindowTileVert,   cmd::FileClose,     cmd::CloseAll,      cmd::CloseAllConfig,
                       cmd::RunChecker,       cmd::AppAbout,      cmd::LiveUpdate})
            checkDrawn(icons::command(id), QString::number(id));
        QVERIFY(icons::command(cmd::AppExit).isNull());
    }

    void theMarksAndSignsAreDistinct() {
        using namespace lists::icon;
        std::vector<QImage> seen;
        for (int i : {kInformation, kNotChecked, kBad, kGood, kRemark, kCommand, kError, kEqual, kNotEqual,
                      kExclamationGrey, kExclamationBlue, kExclamationGrey + 2, kExclamationGrey + 3}) {
            const QImage img = icons::list(i).pixmap(16, 16).toImage();
            for (const QImage& other : seen) QVERIFY2(other != img, qPrintable(QString::number(i)));
            seen.push_back(img);
        }
    }

    void theProgramIconComesFromItsSvgFile() {
        const QImage img = icons::application().pixmap(64, 64).toImage();
        QCOMPARE(img.size(), QSize(64, 64));
        QVERIFY2(opaquePixels(img) > 64 * 64 / 3, "the SVG icon did not render");
    }
};

QTEST_MAIN(IconsTest)
#include "icons_test.moc"
