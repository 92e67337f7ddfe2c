#include "views/read_folder_dlg.hpp"

#include "app/ui_hooks.hpp"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>

namespace qx::gui {

// ---- rows ----------------------------------------------------------------------------------

void ScanRowsModel::setRows(std::vector<ruleedit::ScanRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ScanRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ScanRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ScanRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const auto& r = m_rows[static_cast<std::size_t>(index.row())];
    const std::string* cells[] = {&r.name, &r.version, &r.date, &r.fullName};
    return QString::fromStdString(*cells[index.column()]);
}

QVariant ScanRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= 4) return {};
    return QString::fromLatin1(ruleedit::kScanColumns[section]);
}

// ---- dialog --------------------------------------------------------------------------------

struct CReadFolderDlg::Job {
    std::string folder;
    std::atomic<bool> stop{false};
    std::vector<ruleedit::ScanRow> rows;
    std::size_t filesSeen = 0;
};

namespace {

constexpr int kProgressMs = 100;

QPushButton* plainButton(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);  // Return in the folder field reads the folder, it does not close
    return b;
}

}  // namespace

CReadFolderDlg::CReadFolderDlg(QWidget* parent)
    : QDialog(parent),
      m_folder(new QLineEdit(this)),
      m_browse(plainButton(QStringLiteral("Browse..."), this)),
      m_list(new QTreeView(this)),
      m_status(new QLabel(this)),
      m_progress(new QProgressBar(this)),
      m_stop(plainButton(QStringLiteral("Stop"), this)),
      m_ok(plainButton(QStringLiteral("OK"), this)) {
    setWindowTitle(QStringLiteral("Read Folder"));
    auto* cancel = plainButton(QStringLiteral("Cancel"), this);

    auto* folderRow = new QHBoxLayout;
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"), this);
    folderLabel->setBuddy(m_folder);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browse);
    m_folder->setMaxLength(4096);
    m_folder->setPlaceholderText(QStringLiteral("A folder of module files (.QXK, .LAN, .DSK, .EXE, ...)"));

    m_list->setModel(&m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->header()->setStretchLastSection(true);
    // Widths in dialog units: a unit is a quarter of the average character width.
    const int charWidth = std::max(4, fontMetrics().averageCharWidth());
    for (int c = 0; c < 3; ++c) m_list->setColumnWidth(c, 80 * charWidth / 4);
    m_list->setMinimumSize((3 * 80 + 350) * charWidth / 4, 260);

    auto* statusRow = new QHBoxLayout;
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_progress);
    statusRow->addWidget(m_stop);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_progress->setRange(0, 0);  // a folder's size is not known before it is read
    m_progress->setMaximumWidth(160);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(folderRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(statusRow);
    layout->addLayout(buttons);

    connect(m_browse, &QPushButton::clicked, this, &CReadFolderDlg::browse);
    connect(m_folder, &QLineEdit::returnPressed, this, [this] {
        if (!scanning() && !m_folder->text().trimmed().isEmpty()) scanFolder(m_folder->text().trimmed());
    });
    connect(m_stop, &QPushButton::clicked, this, &CReadFolderDlg::stopScan);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CReadFolderDlg::reject);
    setScanning(false);
    resize(sizeHint().expandedTo(QSize(820, 440)));
}

CReadFolderDlg::~CReadFolderDlg() {
    if (!m_thread) return;
    m_job->stop = true;
    m_thread->wait();
    delete m_thread;
}

void CReadFolderDlg::browse() {
    const QString current = m_folder->text().trimmed();
    QFileDialog chooser(this, QStringLiteral("Browsing"),
                        !current.isEmpty() && QDir(current).exists() ? current : QDir::homePath());
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    if (execDialog(chooser) != QDialog::Accepted) return;
    const QString folder = chooser.selectedFiles().value(0);
    if (!folder.isEmpty()) scanFolder(folder);
}

void CReadFolderDlg::scanFolder(const QString& folder) {
    if (m_thread) {
        m_job->stop = true;
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_folder->setText(QDir::toNativeSeparators(folder));
    m_model.setRows({});
    auto job = std::make_shared<Job>();
    job->folder = QDir::cleanPath(folder).toStdString() + "/";
    m_job = job;
    m_thread = QThread::create([this, job] {
        QElapsedTimer shown;
        shown.start();
        auto rows = ruleedit::scanModuleFolder(job->folder, [&](std::size_t seen, const std::string& at) {
            job->filesSeen = seen;
            if (job->stop) return false;
            if (shown.elapsed() >= kProgressMs) {
                shown.restart();
                QMetaObject::invokeMethod(
                    this, [this, seen, f = QString::fromStdString(at)] { onProgress(seen, f); },
                    Qt::QueuedConnection);
            }
            return true;
        });
        job->rows = std::move(rows);
    });
    m_thread->setObjectName(QStringLiteral("module scan"));
    connect(m_thread, &QThread::finished, this, [this, job] { onDone(job); });
    setScanning(true);
    m_status->setText(QStringLiteral("Reading %1 ...").arg(QDir::toNativeSeparators(folder)));
    m_thread->start();
}

void CReadFolderDlg::stopScan() {
    if (m_job) m_job->stop = true;
}

void CReadFolderDlg::onProgress(quint64 filesSeen, const QString& folder) {
    if (!scanning()) return;
    m_status->setText(
        QStringLiteral("%1 files read; reading %2").arg(filesSeen).arg(QDir::toNativeSeparators(folder)));
}

void CReadFolderDlg::onDone(std::shared_ptr<Job> job) {
    if (job != m_job || !m_thread) return;  // a scan replaced by a newer one
    m_thread->wait();
    m_thread->deleteLater();
    m_thread = nullptr;
    const std::size_t found = job->rows.size();
    m_model.setRows(std::move(job->rows));
    const QString counts = QStringLiteral("%1 module files among %2 files").arg(found).arg(job->filesSeen);
    m_status->setText(job->stop ? QStringLiteral("Stopped: %1 read so far.").arg(counts)
                                : QStringLiteral("%1.").arg(counts));
    setScanning(false);
    emit scanFinished();
}

void CReadFolderDlg::setScanning(bool on) {
    m_progress->setVisible(on);
    m_stop->setVisible(on);
    m_browse->setEnabled(!on);
    m_ok->setEnabled(!on);
    if (on)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void CReadFolderDlg::reject() {
    // Cancel changes nothing: a running scan is stopped and its rows dropped with the dialog.
    if (m_thread) {
        m_job->stop = true;
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
        setScanning(false);
    }
    QDialog::reject();
}

}  // namespace qx::gui
