// "Read Folder" on generated folders of module files: the folder chooser, the scan off the
// user-interface thread with its Stop and Cancel, and the rows that become `module` rules.
#include "views/read_folder_dlg.hpp"

#include "app/ui_hooks.hpp"
#include "ruleedit/module_scanner.hpp"
#include "xml/xml_document.hpp"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace qx;
using namespace qx::gui;

namespace {

// A module file whose version block lies past the 160 bytes the scanner skips.
QByteArray moduleBytes(quint32 major, quint32 minor, quint32 revision, quint32 year, quint32 month,
                       quint32 day) {
    QByteArray b(200, 'x');
    b += "VeRsIoN#";
    for (quint32 v : {major, minor, revision, year, month, day})
        for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xFF);
    b += '\0';
    return b;
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class ReadFolderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString folder() const { return m_dir.filePath(QStringLiteral("modules")); }

private slots:
    void initTestCase() {
        write(folder() + "/C.DSK", moduleBytes(4, 10, 0, 2003, 12, 1));
        write(folder() + "/a.qxk", moduleBytes(5, 70, 0, 2004, 3, 5));
        write(folder() + "/readme.txt", "not a module");
        write(folder() + "/sub/b.Lan", moduleBytes(1, 2, 3, 1999, 1, 2));
        write(folder() + "/sub/short.nam", "too short for a version block");
    }

    void cleanup() { setDialogHook({}); }

    void browseScansTheChosenFolderAndListsTheLastFileFirst() {
        CReadFolderDlg dlg;
        QString title;
        setDialogHook([&](QDialog& d) {
            auto* chooser = qobject_cast<QFileDialog*>(&d);
            if (!chooser) return int(QDialog::Rejected);
            title = chooser->windowTitle();
            chooser->setDirectory(folder());
            chooser->selectFile(folder());
            return int(QDialog::Accepted);
        });
        QSignalSpy finished(&dlg, &CReadFolderDlg::scanFinished);
        dlg.browseButton()->click();
        QCOMPARE(title, QStringLiteral("Browsing"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(dlg.folderField()->text(), QDir::toNativeSeparators(folder()));

        // Name order within a folder, depth first; the last file met at the top.
        QStringList names;
        for (const auto& r : dlg.rows()) names << QString::fromStdString(r.name);
        QCOMPARE(names, (QStringList{"SHORT.NAM", "B.LAN", "A.QXK", "C.DSK"}));
        const QAbstractItemModel* list = dlg.rowList()->model();
        QCOMPARE(list->rowCount(), 4);
        QStringList headers;
        for (int c = 0; c < list->columnCount(); ++c)
            headers << list->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"QXK", "Version", "Date", "QXK Fullname"}));
        auto cell = [list](int r, int c) { return list->index(r, c).data().toString(); };
        QCOMPARE(cell(1, 1), QStringLiteral("v1.02.03"));
        QCOMPARE(cell(1, 2), QStringLiteral("Jan.02,1999"));
        QCOMPARE(cell(1, 3), folder() + QStringLiteral("/sub/b.Lan"));
        QCOMPARE(cell(3, 1), QStringLiteral("v4.10"));
        QCOMPARE(cell(0, 1), QString());  // no version block: the row keeps name and path only
        QVERIFY(dlg.statusLine()->text().startsWith(QStringLiteral("4 module files among 5 files")));
        QVERIFY(dlg.okButton()->isEnabled());
    }

    void okRowsBecomeModuleRulesOfTheNode() {
        CReadFolderDlg dlg;
        QSignalSpy finished(&dlg, &CReadFolderDlg::scanFinished);
        // Return in the folder field reads the typed folder and does not close the dialog.
        dlg.show();
        dlg.folderField()->setText(folder());
        QTest::keyClick(dlg.folderField(), Qt::Key_Return);
        QVERIFY(finished.wait(10000));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.rows().size(), std::size_t(4));
        dlg.okButton()->click();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));

        xml::Document rules;
        QVERIFY(rules
                    .loadString(
                        "<rules><productgroup><product ID=\"1\"><modules name=\"Modules\">"
                        "<module><name>OLD.QXK</name></module></modules></product></productgroup></rules>")
                    .ok());
        xml::Node modules = xml::selectFirst(rules.documentNode(), "modules");
        QCOMPARE(ruleedit::appendModuleRules(modules, dlg.rows()), std::size_t(4));
        const auto added = xml::childElements(modules);
        QCOMPARE(added.size(), std::size_t(5));
        QCOMPARE(QString::fromStdString(xml::childText(added[1], "name")), QStringLiteral("SHORT.NAM"));
        QCOMPARE(QString::fromStdString(xml::childText(added[3], "name")), QStringLiteral("A.QXK"));
        QCOMPARE(QString::fromStdString(xml::childText(added[3], "version")), QStringLiteral("v5.70"));
        QCOMPARE(QString::fromStdString(xml::childText(added[3], "date")), QStringLiteral("Mar.05,2004"));
        QCOMPARE(QString::fromStdString(xml::childText(added[3], "version_condition")), QStringLiteral(">="));
        QCOMPARE(QString::fromStdString(xml::childText(added[3], "date_condition")), QStringLiteral(">="));
    }

    void aBigFolderShowsProgressAndStopsOrCancels() {
        QTemporaryDir big;
        for (int i = 0; i < 3000; ++i)
            write(big.filePath(QStringLiteral("d%1/m%2.qxk").arg(i / 100).arg(i)),
                  moduleBytes(1, i % 100, 0, 2004, 1, 1));

        CReadFolderDlg dlg;
        QSignalSpy finished(&dlg, &CReadFolderDlg::scanFinished);
        dlg.scanFolder(big.path());
        QVERIFY(dlg.scanning());
        QVERIFY(!dlg.okButton()->isEnabled());  // nothing to hand over before the list is whole
        QVERIFY(!dlg.browseButton()->isEnabled());
        dlg.stopScan();
        QVERIFY(finished.wait(10000));
        QVERIFY(!dlg.scanning());
        QVERIFY(dlg.rows().size() < 3000);
        QVERIFY2(dlg.statusLine()->text().startsWith(QStringLiteral("Stopped")),
                 qPrintable(dlg.statusLine()->text()));
        QVERIFY(dlg.okButton()->isEnabled());

        // A whole scan, then Cancel: the caller gets nothing.
        dlg.scanFolder(big.path());
        QVERIFY(finished.wait(30000));
        QCOMPARE(dlg.rows().size(), std::size_t(3000));
        dlg.scanFolder(big.path());
        dlg.reject();
        QVERIFY(!dlg.scanning());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    void aFolderThatCannotBeReadYieldsNoRows() {
        CReadFolderDlg dlg;
        QSignalSpy finished(&dlg, &CReadFolderDlg::scanFinished);
        dlg.scanFolder(m_dir.filePath(QStringLiteral("missing")));
        QVERIFY(finished.wait(10000));
        QVERIFY(dlg.rows().empty());
        QCOMPARE(dlg.rowList()->model()->rowCount(), 0);
    }
};

QTEST_MAIN(ReadFolderTest)
#include "read_folder_test.moc"
