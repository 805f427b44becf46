#include "VeskVerifyFolder.h"

#include "actions/VeskActionManager.h"
#include "actions/VeskMHLHistory.h"
#include "report/VeskAlert.h"

#include <QFileDialog>

void VeskVerifyFolder::ask(QWidget *parent, VeskActionManager &manager)
{
    const QString folder = QFileDialog::getExistingDirectory(parent, QObject::tr("Verify Folder"));
    if (!folder.isEmpty())
        queue(folder, manager);
}

bool VeskVerifyFolder::queue(const QString &folder, VeskActionManager &manager)
{
    if (!VeskMHLHistory(folder).exists()) {
        VeskAlert::ShowDialog_with_Buttons(QStringLiteral("This folder has no copy history to verify."),
            QStringLiteral("Folders that Vesk copies or moves media into keep their history in an \"%1\" folder.")
                .arg(VeskMHLHistory::folderName()),
            { QStringLiteral("OK") });
        return false;
    }
    VeskActionProperties properties;
    properties.Action = QStringLiteral("Verify");
    properties.items = std::vector<VeskItemRef>();
    properties.Destination = folder;
    return manager.SetUpNewActionWithOptions(properties) != nullptr;
}
