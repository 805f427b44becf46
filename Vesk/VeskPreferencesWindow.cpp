#include "VeskPreferencesWindow.h"

#include "VeskListsHost.h"

#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"

#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kExisting = QStringLiteral("ShowOnlyExistingFiles");
const QString kScanMDB = QStringLiteral("ScanMDB");
const QString kScanMXF = QStringLiteral("ScanMXF");
const QString kBundle = QStringLiteral("ExternalAppBundleID");
const QString kScript = QStringLiteral("ExtApplescript");
} // namespace

VeskPreferencesWindow::VeskPreferencesWindow(VeskListsHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
    , m_existingFiles(new QCheckBox(tr("Show only media files that exist"), this))
    , m_scanMDB(new QCheckBox(tr("Read the media databases (msmMMOB.mdb)"), this))
    , m_scanMXF(new QCheckBox(tr("Open MXF files when a media database has nothing on them"), this))
    , m_bundle(new QLineEdit(this))
    , m_script(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("Preferences"));
    setWindowTitle(tr("Preferences"));
    setWindowModality(Qt::ApplicationModal);
    resize(600, 460);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(makeScanPage(), tr("Scanning"));
    tabs->addTab(makeToolsPage(), tr("Tools"));
    auto *close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &VeskPreferencesWindow::ClosePreferences);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(m_existingFiles, &QCheckBox::clicked, this, &VeskPreferencesWindow::SetExistingCheck);
    connect(m_scanMDB, &QCheckBox::clicked, this, &VeskPreferencesWindow::SetScamMDBCheck);
    connect(m_scanMXF, &QCheckBox::clicked, this, &VeskPreferencesWindow::SetScamMXFCheck);
    connect(m_bundle, &QLineEdit::editingFinished, this, &VeskPreferencesWindow::ExternalBundleEndEdit);
}

QWidget *VeskPreferencesWindow::makeScanPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_existingFiles);
    layout->addWidget(m_scanMDB);
    layout->addWidget(m_scanMXF);
    layout->addStretch();
    return page;
}

QWidget *VeskPreferencesWindow::makeToolsPage()
{
    auto *page = new QWidget(this);
    m_bundle->setPlaceholderText(QStringLiteral("mediainfo-gui.desktop"));
    m_script->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_script->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *save = new QPushButton(tr("Save Script"), page);
    auto *reset = new QPushButton(tr("Reset Script"), page);
    connect(save, &QPushButton::clicked, this, &VeskPreferencesWindow::SaveScript);
    connect(reset, &QPushButton::clicked, this, &VeskPreferencesWindow::ResetScript);
    auto *form = new QFormLayout;
    form->addRow(tr("Open media with:"), m_bundle);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(reset);
    buttons->addWidget(save);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(new QLabel(tr("Script run on the selected media (paths in $VESK_SELECTION):"), page));
    layout->addWidget(m_script);
    layout->addLayout(buttons);
    return page;
}

QString VeskPreferencesWindow::basescript()
{
    QFile file(QStringLiteral(":/basescript"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void VeskPreferencesWindow::loadFromSettings()
{
    const VeskSettings &settings = VeskSettings::shared();
    m_bundle->setText(settings.stringForKey(kBundle));
    m_existingFiles->setChecked(settings.integerForKey(kExisting) != 0);
    m_scanMDB->setChecked(settings.integerForKey(kScanMDB) != 0);
    m_scanMXF->setChecked(settings.integerForKey(kScanMXF) != 0);
    m_script->setPlainText(settings.stringForKey(kScript));
}

void VeskPreferencesWindow::ShowPreferences()
{
    if (VeskStatusViewController::getTheController()->isRunning())
        return;
    m_script->setPlainText(VeskSettings::shared().stringForKey(kScript));
    show();
    raise();
    activateWindow();
}

void VeskPreferencesWindow::ShowExistingFilesSetting()
{
    if (auto *tabs = findChild<QTabWidget *>())
        tabs->setCurrentIndex(0);
    ShowPreferences();
    m_existingFiles->setFocus(Qt::OtherFocusReason);
}

void VeskPreferencesWindow::ClosePreferences()
{
    hide();
}

void VeskPreferencesWindow::ExternalBundleEndEdit()
{
    VeskSettings::shared().setValue(kBundle, m_bundle->text());
}

void VeskPreferencesWindow::SaveScript()
{
    VeskSettings::shared().setValue(kScript, m_script->toPlainText());
}

void VeskPreferencesWindow::ResetScript()
{
    const QString script = basescript();
    VeskSettings::shared().setValue(kScript, script);
    m_script->setPlainText(script);
}

bool VeskPreferencesWindow::storeCheck(QCheckBox *box, const QString &key)
{
    if (VeskStatusViewController::getTheController()->isRunning()) {
        box->setChecked(VeskSettings::shared().integerForKey(key) != 0);
        return false;
    }
    VeskSettings::shared().setValue(key, box->isChecked() ? 1 : 0);
    return true;
}

void VeskPreferencesWindow::SetExistingCheck()
{
    if (!storeCheck(m_existingFiles, kExisting))
        return;
    m_host.showDefaultLists();
}

void VeskPreferencesWindow::SetScamMDBCheck()
{
    storeCheck(m_scanMDB, kScanMDB);
}

void VeskPreferencesWindow::SetScamMXFCheck()
{
    storeCheck(m_scanMXF, kScanMXF);
}
