#include "app/dialogs.hpp"

#include "app/icons.hpp"
#include "app/installation.hpp"
#include "platform/data_dir.hpp"
#include "platform/file_system.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

namespace qx::gui {
namespace {

const QString kProduct = QStringLiteral("QXConfig");
QString versionText() {
    return QStringLiteral("Version %1").arg(QStringLiteral(QX_VERSION));
}

}  // namespace

// ---- splash ------------------------------------------------------------------------------

CSplashWnd::CSplashWnd(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setFixedSize(440, 230);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kProduct);
    qApp->installEventFilter(this);
    m_shown.start();
    // The timer keeps idle processing alive; the elapsed time decides.
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_shown.elapsed() > kShowMs) dismiss();
    });
    m_timer.start();
    QTimer::singleShot(kShowMs + 1, this, [this] {
        if (m_shown.elapsed() > kShowMs) dismiss();
    });
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            dismiss();
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void CSplashWnd::dismiss() {
    if (m_done) return;
    m_done = true;
    m_timer.stop();
    qApp->removeEventFilter(this);
    close();
    emit dismissed();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(0x1f, 0x3b, 0x5c));
    g.setColorAt(1, QColor(0x12, 0x24, 0x3a));
    p.fillRect(rect(), g);
    p.drawPixmap(32, 48, icons::application().pixmap(72, 72));
    QFont title = font();
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(124, 44, 300, 44), Qt::AlignLeft | Qt::AlignVCenter, kProduct);
    QFont sub = font();
    sub.setPixelSize(14);
    p.setFont(sub);
    p.setPen(QColor(0xc9, 0xd6, 0xe6));
    p.drawText(QRect(126, 90, 300, 22), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Server configuration analysis"));
    p.drawText(QRect(126, 112, 300, 22), Qt::AlignLeft | Qt::AlignVCenter, versionText());
    p.setPen(QColor(0x8f, 0xa3, 0xba));
    sub.setPixelSize(11);
    p.setFont(sub);
    p.drawText(QRect(24, height() - 34, width() - 48, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Orvane KTR - Vestrel"));
    p.setPen(QColor(0x3c, 0x5a, 0x7d));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- Preferences -------------------------------------------------------------------------

CPreferencesDlg::CPreferencesDlg(const Settings& current, QWidget* parent)
    : QDialog(parent),
      m_base(current),
      m_kdn(new QLineEdit(this)),
      m_fileFinder(new QLineEdit(this)),
      m_rules(new QLineEdit(this)),
      m_remind(new QCheckBox(QStringLiteral("Remind me every"), this)),
      m_interval(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("Preferences"));
    auto* layout = new QVBoxLayout(this);
    auto* addresses = new QGroupBox(QStringLiteral("Addresses"), this);
    auto* form = new QFormLayout(addresses);
    form->addRow(QStringLiteral("Lookup KDN URL:"), m_kdn);
    form->addRow(QStringLiteral("File finder URL:"), m_fileFinder);
    form->addRow(QStringLiteral("Rules URL:"), m_rules);
    layout->addWidget(addresses);
    auto* reminder = new QGroupBox(QStringLiteral("Rules update reminder"), this);
    auto* row = new QHBoxLayout(reminder);
    row->addWidget(m_remind);
    row->addWidget(m_interval);
    row->addWidget(new QLabel(QStringLiteral("days"), this));
    row->addStretch(1);
    layout->addWidget(reminder);
    m_interval->setRange(0, 60);
    m_interval->setSpecialValueText(QStringLiteral(" "));
    m_interval->setMinimumWidth(64);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* def = buttons->addButton(QStringLiteral("Default"), QDialogButtonBox::ResetRole);
    connect(def, &QPushButton::clicked, this, &CPreferencesDlg::restoreDefaults);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(m_remind, &QCheckBox::toggled, this, &CPreferencesDlg::onRemindToggled);

    m_kdn->setText(QString::fromStdString(current.kdnFinderUrl));
    m_fileFinder->setText(QString::fromStdString(current.fileFinderUrl));
    m_rules->setText(QString::fromStdString(current.rulesUpdateUrl));
    m_interval->setValue(current.reminderInterval);
    m_remind->setChecked(current.reminderInterval != 0);
    onRemindToggled(m_remind->isChecked());
    setMinimumWidth(560);
}

void CPreferencesDlg::onRemindToggled(bool on) {
    m_interval->setEnabled(on);
    if (on) {
        if (m_interval->value() == 0) m_interval->setValue(Settings::kDefaultReminderInterval);
        m_interval->setMinimum(1);
    } else {
        m_interval->setMinimum(0);
        m_interval->setValue(0);
    }
}

void CPreferencesDlg::restoreDefaults() {
    m_kdn->setText(QString::fromLatin1(Settings::kDefaultKdnFinderUrl));
    m_fileFinder->setText(QString::fromLatin1(Settings::kDefaultFileFinderUrl));
    m_rules->setText(QString::fromLatin1(Settings::kDefaultRulesUpdateUrl));
    m_remind->setChecked(true);
    m_interval->setValue(Settings::kDefaultReminderInterval);
}

Settings CPreferencesDlg::values() const {
    Settings s = m_base;
    s.kdnFinderUrl = m_kdn->text().toStdString();
    s.fileFinderUrl = m_fileFinder->text().toStdString();
    s.rulesUpdateUrl = m_rules->text().toStdString();
    s.reminderInterval = m_remind->isChecked() ? m_interval->value() : 0;
    return s;
}

// ---- About -------------------------------------------------------------------------------

QString CAboutDlg::memoryText() {
    return QString::asprintf("%lu KB", static_cast<unsigned long>(platform::availableMemoryKiB()));
}

std::vector<InstallationFact> CAboutDlg::installationFacts(const Application& app) {
    platform::DataDirectory dir = platform::dataDirectory();
    if (dir.path != app.programDir()) dir = {app.programDir(), platform::DataDirSource::Option, {}, {}};
    auto facts = qx::installationFacts(dir, inspectRuleBaseFile(app.rulesPath()));
    // The date has its own row above.
    std::erase_if(facts, [](const InstallationFact& f) { return f.label == "Rule base date"; });
    return facts;
}

QString CAboutDlg::ruleDateText(const Application& app) {
    return app.ruleBaseLoaded() ? QString::fromStdString(app.ruleBaseDate()) : QStringLiteral("<not found>");
}

CAboutDlg::CAboutDlg(const Application& app, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About QXConfig"));
    auto* layout = new QHBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(icons::application().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    auto* column = new QVBoxLayout;
    auto* name = new QLabel(
        QStringLiteral("<b style='font-size:15pt'>%1</b><br>%2").arg(kProduct, versionText()), this);
    column->addWidget(name);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Available memory:"), new QLabel(memoryText(), this));
    form->addRow(QStringLiteral("Rule file date:"), new QLabel(ruleDateText(app), this));
    for (const auto& fact : installationFacts(app)) {
        // Paths and checksums are long: a read-only field shows them whole to scroll and copy.
        auto* value = new QLineEdit(QString::fromStdString(fact.value), this);
        value->setReadOnly(true);
        value->setFrame(false);
        value->setCursorPosition(0);
        value->setMinimumWidth(260);
        value->setToolTip(value->text());
        value->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
        // Beside "Rule base:" the checksum needs no second mention of it.
        const std::string label = fact.label == "Rule base SHA-256" ? "SHA-256" : fact.label;
        form->addRow(QString::fromStdString(label + ":"), value);
    }
    column->addLayout(form);
    column->addWidget(new QLabel(QStringLiteral("Copyright \u00a9 Orvane KTR"), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    column->addWidget(buttons);
    layout->addLayout(column, 1);
    layout->setSpacing(16);
    setMinimumWidth(380);
}

}  // namespace qx::gui
