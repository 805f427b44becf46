#include "model/VeskItemGroups.h"

#include <QHash>

#include <unordered_map>

// Items of one folder share its text, and a scan hands them in one after another: the
// previous item's answer is tried before the tables.
VeskItemGroups::VeskItemGroups(const std::vector<VeskItemRef> &items)
{
    QHash<QString, uint32_t> projectNumbers;
    std::unordered_map<const QChar *, uint32_t> folderNumbers;
    projectIds.reserve(items.size());
    folderIds.reserve(items.size());
    const QChar *lastName = nullptr;
    const QChar *lastFolder = nullptr;
    for (const VeskItemRef &item : items) {
        const QString name = item->get_DB_ProjectName();
        if (projectIds.empty() || name.constData() != lastName) {
            auto project = projectNumbers.constFind(name);
            if (project == projectNumbers.constEnd()) {
                project = projectNumbers.insert(name, uint32_t(projectNames.size()));
                projectNames.push_back(name);
            }
            const QString &shared = projectNames[*project];
            if (name.constData() != shared.constData() && item->DB_ProjectName() == shared)
                item->setDB_ProjectName(shared);
            projectIds.push_back(*project);
            lastName = shared.constData();
        } else {
            projectIds.push_back(projectIds.back());
        }
        const QString folder = item->DB_itemFolder();
        if (folderIds.empty() || folder.constData() != lastFolder) {
            const auto [entry, added] = folderNumbers.try_emplace(folder.constData(), uint32_t(folders.size()));
            if (added)
                folders.push_back(folder);
            lastFolder = folder.constData();
            folderIds.push_back(entry->second);
        } else {
            folderIds.push_back(folderIds.back());
        }
    }
}

VeskItemGroups VeskItemGroups::reordered(const std::vector<uint32_t> &order) const
{
    VeskItemGroups groups;
    groups.projectNames = projectNames;
    groups.folders = folders;
    groups.projectIds.reserve(order.size());
    groups.folderIds.reserve(order.size());
    for (uint32_t position : order) {
        groups.projectIds.push_back(projectIds[position]);
        groups.folderIds.push_back(folderIds[position]);
    }
    return groups;
}
