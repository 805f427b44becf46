#include "VeskMediafileViewer.h"

#include "VeskMediafileOutlineModel.h"
#include "VeskMediafileViewerOutlineView.h"
#include "VeskProgressWheel.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "platform/VeskStatusViewController.h"
#include "readers/VeskMediafile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

VeskMediafileViewer::FileChooser &installedChooser()
{
    static VeskMediafileViewer::FileChooser chooser;
    return chooser;
}

QString runOpenPanel(QWidget *parent)
{
    QFileDialog panel(parent, QObject::tr("Open a Media File"), QDir::homePath());
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::ExistingFile);
    panel.setNameFilters({ QObject::tr("Media databases and files (*.mdb *.MDB *.omf *.OMF *.mxf *.MXF *.aaf "
                                       "*.AAF *.aif *.wav)"),
        QObject::tr("All files (*)") });
    panel.setWindowModality(Qt::WindowModal);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().constFirst();
}

VeskStatusViewController &status()
{
    return *VeskStatusViewController::getTheController();
}

} // namespace

VeskMediafileViewer *VeskMediafileViewer::sharedInstance()
{
    static VeskMediafileViewer *instance = [] {
        VESK_LOG(QStringLiteral("[%1 %2]").arg(
            QStringLiteral("VeskMediafileViewer"), QStringLiteral("Create OMF Viewer Object")));
        return new VeskMediafileViewer;
    }();
    return instance;
}

VeskMediafileViewer::VeskMediafileViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_mediafile(std::make_shared<VeskMediafile>())
    , m_model(new VeskMediafileOutlineModel(this))
    , m_mainView(new VeskMediafileViewerOutlineView(this))
    , m_progress(new VeskProgressWheel(18, this))
    , m_open(new QPushButton(tr("Open…"), this))
    , m_fileLabel(new QLabel(tr("No file loaded. Press Space on an entry to see its description."), this))
{
    setObjectName(QStringLiteral("VeskMediafileViewer"));
    setWindowTitle(tr("MDB/OMF Inspector"));
    resize(900, 620);
    m_progress->setObjectName(QStringLiteral("ProgressIndicator"));
    m_progress->setDisplayedWhenStopped(false);
    m_fileLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_open->setObjectName(QStringLiteral("OpenButton"));
    connect(m_open, &QPushButton::clicked, this, &VeskMediafileViewer::PushOpenButton);
    auto *top = new QHBoxLayout;
    top->addWidget(m_open);
    top->addWidget(m_progress);
    top->addWidget(m_fileLabel, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_mainView, 1);
    m_model->setMediafile(m_mediafile);
    m_mainView->setOutlineModel(m_model);
}

VeskMediafileViewer::~VeskMediafileViewer()
{
    // The worker ends by posting finishOpening here, so each wait ends with an event.
    while (m_opening)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    if (m_worker.joinable())
        m_worker.join();
}

void VeskMediafileViewer::showWindow()
{
    VESK_LOG(QStringLiteral("<VeskMediafileViewer: 0x%1>").arg(quintptr(this), 0, 16));
    show();
    raise();
    activateWindow();
}

void VeskMediafileViewer::PushOpenButton()
{
    if (status().isRunning())
        return;
    const QString path = installedChooser() ? installedChooser()(this) : runOpenPanel(this);
    if (!path.isEmpty())
        openInBackground(path);
}

// The worker opens the file with a front end of its own and hands it over when done:
// the outline never reads a front end that another thread is filling.
bool VeskMediafileViewer::openInBackground(const QString &path)
{
    m_mediafile->openFile(QString(), nullptr);
    m_model->setMediafile(m_mediafile);
    m_fileLabel->setText(QDir::toNativeSeparators(path));
    if (status().isRunning())
        return false;
    status().setIsRunning(true);
    if (m_worker.joinable())
        m_worker.join();
    m_opening = true;
    m_worker = std::thread([this, path] {
        VeskMainThread::run([this] { m_progress->startAnimation(); }, false);
        auto opened = std::make_shared<VeskMediafile>();
        const bool isOpen = opened->openFile(path, m_progress);
        QMetaObject::invokeMethod(
            this, [this, opened, isOpen, path] { finishOpening(opened, isOpen, path); }, Qt::QueuedConnection);
    });
    return true;
}

void VeskMediafileViewer::finishOpening(const std::shared_ptr<VeskMediafile> &opened, bool isOpen, const QString &path)
{
    m_progress->stopAnimation();
    m_mediafile = opened;
    m_model->setMediafile(opened);
    m_mainView->expandToDepth(0);
    if (!isOpen)
        m_fileLabel->setText(tr("%1 (not readable)").arg(QDir::toNativeSeparators(path)));
    status().setIsRunning(false);
    m_opening = false;
    Q_EMIT fileOpened(isOpen);
}

VeskMediafileViewer::FileChooser VeskMediafileViewer::setFileChooser(FileChooser chooser)
{
    std::swap(installedChooser(), chooser);
    return chooser;
}
