#include "VeskNewActionWindow.h"

#include "actions/VeskActionManager.h"
#include "model/VeskCore.h"
#include "platform/VeskSettings.h"
#include "report/VeskAlert.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

VeskNewActionWindow::FolderChooser &installedChooser()
{
    static VeskNewActionWindow::FolderChooser chooser;
    return chooser;
}

QString runFolderPanel(QWidget *parent)
{
    QFileDialog panel(parent, QObject::tr("Choose the Destination Folder"), QDir::homePath());
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setOption(QFileDialog::ShowDirsOnly);
    panel.setFileMode(QFileDialog::Directory);
    panel.setWindowModality(Qt::WindowModal);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().constFirst();
}

QPushButton *plainButton(const QString &title, QWidget *parent)
{
    auto *button = new QPushButton(title, parent);
    // Return in the destination field only ends its editing.
    button->setAutoDefault(false);
    return button;
}

} // namespace

VeskNewActionWindow::VeskNewActionWindow(std::optional<std::vector<VeskItemRef>> items, QWidget *parent)
    : QDialog(parent)
    , m_controller(std::move(items))
{
    setObjectName(QStringLiteral("VeskNewActionWindow"));
    setWindowTitle(tr("New Action"));
    setWindowModality(Qt::WindowModal);
    m_summaryText = new QLabel(this);
    m_summaryText->setObjectName(QStringLiteral("summaryText"));
    m_summaryText->setTextFormat(Qt::PlainText);
    m_summaryText->setWordWrap(true);
    m_summaryText->setFrameShape(QFrame::StyledPanel);
    m_summaryText->setMargin(8);
    m_summaryText->setMinimumHeight(4 * fontMetrics().lineSpacing() + 16);
    m_summaryText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_checkImSure = new QCheckBox(tr("I'm sure"), this);
    m_checkImSure->setObjectName(QStringLiteral("CheckImSure"));
    m_go = plainButton(tr("GO"), this);
    m_cancel = plainButton(tr("Cancel"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_checkImSure);
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_go);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeActionBox());
    layout->addWidget(makeDestinationBox());
    layout->addWidget(makeOptionsBox());
    layout->addWidget(m_summaryText);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(520);
    connectControls();
    windowDidLoad();
}

QWidget *VeskNewActionWindow::makeActionBox()
{
    auto *box = new QGroupBox(tr("Action"), this);
    m_radioCopy = new QRadioButton(tr("Copy"), box);
    m_radioCopy->setObjectName(QStringLiteral("RadioCopy"));
    m_radioMove = new QRadioButton(tr("Move"), box);
    m_radioMove->setObjectName(QStringLiteral("RadioMove"));
    m_radioDelete = new QRadioButton(tr("Delete (to the Trash)"), box);
    m_radioDelete->setObjectName(QStringLiteral("RadioDelete"));
    m_radioQuarantine = new QRadioButton(tr("Quarantine (can be undone)"), box);
    m_radioQuarantine->setObjectName(QStringLiteral("RadioQuarantine"));
    auto *group = new QButtonGroup(box);
    auto *layout = new QHBoxLayout(box);
    for (QRadioButton *radio : { m_radioCopy, m_radioMove, m_radioDelete, m_radioQuarantine }) {
        group->addButton(radio);
        layout->addWidget(radio);
    }
    layout->addStretch();
    return box;
}

QWidget *VeskNewActionWindow::makeDestinationBox()
{
    auto *box = new QGroupBox(tr("Destination folder"), this);
    m_destinationText = new QLineEdit(box);
    m_destinationText->setObjectName(QStringLiteral("destinationText"));
    m_destinationText->setMinimumWidth(360);
    m_choose = plainButton(tr("Choose…"), box);
    m_choose->setObjectName(QStringLiteral("SelectDestination"));
    auto *layout = new QHBoxLayout(box);
    layout->addWidget(m_destinationText, 1);
    layout->addWidget(m_choose);
    m_destinationBox = box;
    return box;
}

QWidget *VeskNewActionWindow::makeOptionsBox()
{
    auto *box = new QGroupBox(tr("Folders at the destination"), this);
    m_checkProjects = new QCheckBox(tr("A folder per project"), box);
    m_checkProjects->setObjectName(QStringLiteral("CheckProjects"));
    m_checkMXF = new QCheckBox(tr("A folder per file type (MXF, WAV, …)"), box);
    m_checkMXF->setObjectName(QStringLiteral("CheckMXF"));
    m_checkKeepOriginalFolders = new QCheckBox(tr("A folder per source folder"), box);
    m_checkKeepOriginalFolders->setObjectName(QStringLiteral("CheckKeepOriginalFolders"));
    m_checkKeepPMR = new QCheckBox(tr("Keep the source folder's media index"), box);
    m_checkKeepPMR->setObjectName(QStringLiteral("CheckKeepPMR"));
    m_checkVerify = new QCheckBox(tr("Verify copies by reading them back"), box);
    m_checkVerify->setObjectName(QStringLiteral("CheckVerify"));
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_checkProjects);
    layout->addWidget(m_checkMXF);
    layout->addWidget(m_checkKeepOriginalFolders);
    layout->addWidget(m_checkKeepPMR);
    layout->addWidget(m_checkVerify);
    m_optionsBox = box;
    return box;
}

void VeskNewActionWindow::connectControls()
{
    for (QRadioButton *radio : { m_radioCopy, m_radioMove, m_radioDelete, m_radioQuarantine })
        connect(radio, &QRadioButton::toggled, this, [this, radio] { RadioChanged(radio); });
    connect(m_checkProjects, &QCheckBox::toggled, this, [this](bool on) { m_controller.checkSetFolders(on); });
    connect(m_checkMXF, &QCheckBox::toggled, this, [this](bool on) { m_controller.checkSetMXF(on); });
    connect(m_checkKeepPMR, &QCheckBox::toggled, this, [this](bool on) { m_controller.checkSetKeepPMR(on); });
    connect(m_checkKeepOriginalFolders, &QCheckBox::toggled, this, [this](bool on) {
        m_controller.checkSetKeepOriginalFolders(on);
        m_checkKeepPMR->setEnabled(m_controller.isKeepPMREnabled());
        m_checkKeepPMR->setChecked(m_controller.ActionProperties().Keep_pmr);
    });
    connect(m_checkVerify, &QCheckBox::toggled, this, [this](bool on) {
        m_controller.checkSetVerify(on);
        VeskSettings::shared().setValue(QStringLiteral("VerifyCopies"), int(on));
    });
    connect(m_checkImSure, &QCheckBox::toggled, this, [this](bool on) { m_controller.checkSetSure(on); });
    connect(m_destinationText, &QLineEdit::editingFinished, this, &VeskNewActionWindow::DestinationEditingEnd);
    connect(m_choose, &QPushButton::clicked, this, &VeskNewActionWindow::SelectDestination);
    connect(m_go, &QPushButton::clicked, this, &VeskNewActionWindow::PushGo);
    connect(m_cancel, &QPushButton::clicked, this, &VeskNewActionWindow::PushCancel);
}

void VeskNewActionWindow::windowDidLoad()
{
    const VeskActionProperties &properties = m_controller.ActionProperties();
    const QSignalBlocker copy(m_radioCopy), move(m_radioMove), remove(m_radioDelete), aside(m_radioQuarantine);
    m_radioCopy->setChecked(true);
    m_destinationText->setText(QStringLiteral("Destination"));
    const QSignalBlocker projects(m_checkProjects), mxf(m_checkMXF), keep(m_checkKeepOriginalFolders),
        sure(m_checkImSure), pmr(m_checkKeepPMR);
    m_checkProjects->setChecked(properties.Create_projects_folders);
    m_checkMXF->setChecked(properties.Create_mxf_folders);
    m_checkKeepOriginalFolders->setChecked(properties.Keep_original_folders);
    m_checkImSure->setChecked(properties.Im_sure);
    m_checkKeepPMR->setEnabled(false);
    m_checkKeepPMR->setChecked(false);
    m_checkKeepPMR->hide();
    m_checkVerify->setChecked(VeskSettings::shared().integerForKey(QStringLiteral("VerifyCopies")) != 0);
    m_controller.checkSetVerify(m_checkVerify->isChecked());
    updateStatusText();
}

// A delete has no destination: its boxes stay greyed out.
void VeskNewActionWindow::RadioChanged(QRadioButton *sender)
{
    if (!sender->isChecked())
        return;
    const QString action = sender == m_radioMove ? QStringLiteral("Move")
        : sender == m_radioDelete                ? QStringLiteral("Delete")
        : sender == m_radioQuarantine            ? QStringLiteral("Quarantine")
                                                 : QStringLiteral("Copy");
    m_controller.RadioChanged(action);
    // The destination and its folders mean nothing to an action that writes nowhere.
    m_destinationBox->setEnabled(VeskActionProperties::hasDestination(action));
    m_optionsBox->setEnabled(VeskActionProperties::hasDestination(action));
    updateStatusText();
}

void VeskNewActionWindow::DestinationEditingEnd()
{
    m_controller.DestinationEditingEnd(m_destinationText->text());
    updateStatusText();
}

void VeskNewActionWindow::SelectDestination()
{
    const QString folder = installedChooser() ? installedChooser()(this) : runFolderPanel(this);
    if (folder.isEmpty())
        return;
    m_destinationText->setText(folder);
    m_controller.SelectDestination(folder);
    updateStatusText();
}

void VeskNewActionWindow::updateStatusText()
{
    m_summaryText->setText(m_controller.updateStatusText());
}

void VeskNewActionWindow::PushGo()
{
    if (const auto refusal = m_controller.PushGo()) {
        VeskAlert::ShowDialog_with_Buttons(refusal->message, refusal->informativeText, { QStringLiteral("OK") });
        return;
    }
    done(1);
}

void VeskNewActionWindow::PushCancel()
{
    done(0);
}

VeskNewActionWindow::FolderChooser VeskNewActionWindow::setFolderChooser(FolderChooser chooser)
{
    std::swap(installedChooser(), chooser);
    return chooser;
}

VeskNewActionWindow *VeskNewActionWindow::NewAction(VeskCore &core, QWidget *window, VeskActionManager &manager)
{
    return NewAction(core.getSelectedItemsArray(), window, manager);
}

VeskNewActionWindow *VeskNewActionWindow::NewAction(
    std::optional<std::vector<VeskItemRef>> items, QWidget *window, VeskActionManager &manager)
{
    auto *sheet = new VeskNewActionWindow(std::move(items), window);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    connect(sheet, &QDialog::finished, &manager, [sheet, &manager](int result) {
        if (result == 1)
            manager.SetUpNewActionWithOptions(sheet->ActionProperties());
    });
    sheet->open();
    return sheet;
}
