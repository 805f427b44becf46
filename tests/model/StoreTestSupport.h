#pragma once

#include "model/VeskCore.h"
#include "model/VeskFilter.h"
#include "platform/VeskSettings.h"
#include "support/FakeTableView.h"
#include "support/MediaIndexWriter.h"
#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

/// An item with only a file UID and, when given, a path.
inline VeskItemRef itemWithUID(const QByteArray &fileUID, const QString &path = QString())
{
    auto item = std::make_shared<VeskDatabaseItem>();
    item->setFileUIDWithNSData(fileUID);
    if (!path.isEmpty())
        item->setDB_itemPath(path);
    return item;
}

/// A fresh store with a database table, settings in memory and the filter reset.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        VeskSettings::shared().useMemoryStore();
        VeskSettings::shared().registerStandardDefaults();
        VeskFilter::sharedFilter().ResetFilter();
        core.setDatabaseTable(&table);
    }
    void TearDown() override { VeskSettings::shared().useMemoryStore(); }

    /// An item that exists on disk as far as the store can tell.
    static VeskItemRef item(const QString &name, const QString &project, uint64_t uid, uint64_t size = 1,
        const QString &folder = "/vol/Avid MediaFiles/MXF/1")
    {
        const VeskItemRef item = itemWithUID(MediaIndexWriter::makeUID(8, uid, false));
        item->setMaterialUIDWithNSData(MediaIndexWriter::makeUID(8, uid, true));
        item->setupWithUnrefFile(folder, name);
        if (!project.isNull())
            item->setDB_ProjectName(project);
        item->setDB_filesize(size);
        item->setDB_FileExists(true);
        item->setDB_isValid_initial(true);
        return item;
    }

    void load(const std::vector<VeskItemRef> &items)
    {
        core.AddItemsFromArray(items);
        core.makeUnique();
        core.LoadDefaults();
    }

    QStringList shownNames() const
    {
        QStringList names;
        for (uint64_t row = 0; row < core.getFilteredIndexesCount(); ++row)
            names.push_back(core.ObjectAtIndexFiltered(row)->DB_ClipName());
        return names;
    }

    VeskCore core;
    FakeTableView table { "DatabaseTableID" };
};
