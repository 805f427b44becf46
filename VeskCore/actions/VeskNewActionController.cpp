#include "actions/VeskNewActionController.h"

#include "platform/VeskDirectory.h"
#include "report/VeskFileSize.h"
#include "report/VeskUtilities.h"

#include <QFileInfo>

#include <algorithm>

VeskNewActionController::VeskNewActionController(std::optional<std::vector<VeskItemRef>> items)
{
    if (items && !items->empty())
        m_properties.items = std::move(items);
    updateStatusText();
}

void VeskNewActionController::RadioChanged(const QString &action)
{
    m_properties.Action = action;
    updateStatusText();
}

void VeskNewActionController::checkSetKeepOriginalFolders(bool on)
{
    m_properties.Keep_original_folders = on;
    m_keepPMREnabled = on;
    if (!on)
        m_properties.Keep_pmr = false;
}

void VeskNewActionController::DestinationEditingEnd(const QString &text)
{
    m_properties.Destination = VeskUtilities::stringByRemovingPercentEncoding(text);
    updateStatusText();
}

void VeskNewActionController::SelectDestination(const QString &folder)
{
    m_properties.Destination = folder;
    updateStatusText();
}

bool VeskNewActionController::normaliseDestination()
{
    if (!m_properties.Destination)
        return false;
    m_properties.Destination = VeskActionProperties::normalizedDestination(*m_properties.Destination);
    return !m_properties.Destination->isEmpty() && VeskDirectory::isFolder(*m_properties.Destination);
}

QString VeskNewActionController::updateStatusText()
{
    if (!m_properties.items) {
        m_summary = QStringLiteral("No items selected \nSorry, nothing to do");
        return m_summary;
    }
    const std::vector<VeskItemRef> &items = *m_properties.items;
    if (!m_itemsTotalSize && !items.empty()) {
        uint64_t total = 0;
        for (const VeskItemRef &item : items)
            total += item->DB_filesize().value_or(0);
        m_itemsTotalSize = total;
    }
    const QString shown = normaliseDestination() ? *m_properties.Destination : QStringLiteral("Invalid path");
    const QString &action = m_properties.Action;
    const QString destination = action == QLatin1String("Delete") ? QStringLiteral("Super Secret Annihilator (SSA)")
        : action == QLatin1String("Quarantine") ? QStringLiteral("the quarantine of each file's volume")
                                                : shown;
    m_summary = QStringLiteral("will %1 \n%2 %3 of %4 size\ndestination: %5")
                    .arg(m_properties.Action, QString::number(items.size()),
                        items.size() > 1 ? QStringLiteral("items") : QStringLiteral("item"),
                        VeskFileSize::toHumanBytes(double(m_itemsTotalSize.value_or(0))), destination)
        + firstItemNames(items);
    return m_summary;
}

// The sheet names the files it acts on, so that nobody confirms a count alone.
QString VeskNewActionController::firstItemNames(const std::vector<VeskItemRef> &items)
{
    QString names;
    const size_t named = std::min(items.size(), kNamedItems);
    for (size_t i = 0; i < named; ++i)
        names += QLatin1Char('\n') + QFileInfo(items[i]->DB_itemPath()).fileName();
    if (items.size() > named)
        names += QStringLiteral("\nand %1 more").arg(items.size() - named);
    return names.isEmpty() ? names : QLatin1Char('\n') + names;
}

std::optional<VeskNewActionController::Refusal> VeskNewActionController::PushGo()
{
    const bool needsDestination = VeskActionProperties::hasDestination(m_properties.Action);
    QString problem;
    if (!m_properties.items)
        problem = QStringLiteral("No items selected. Nothing to do.");
    else if (m_properties.Destination) {
        if (!normaliseDestination() && needsDestination)
            problem = QStringLiteral("Please check destination path");
    } else if (needsDestination)
        problem = QStringLiteral("Invalid destination path");
    if (!m_properties.Im_sure)
        return Refusal { QStringLiteral("Please don't hurry, be patient..."),
            QStringLiteral("Please verify everything before pressing \"GO\" button\nand check \"I'm "
                           "sure\" checkbox") };
    if (!problem.isEmpty())
        return Refusal { problem, QString() };
    return std::nullopt;
}
