#include "ActionTestSupport.h"

#include "actions/VeskNewActionController.h"
#include "report/VeskFileSize.h"

namespace {

std::vector<VeskItemRef> sizedItems(std::initializer_list<uint64_t> sizes)
{
    std::vector<VeskItemRef> items;
    for (uint64_t size : sizes) {
        auto item = std::make_shared<VeskDatabaseItem>();
        item->setDB_itemPath(QStringLiteral("/media/%1.mxf").arg(size));
        item->setDB_filesize(size);
        items.push_back(item);
    }
    return items;
}

} // namespace

TEST(NewActionController, SummaryCountsItemsAndShowsTheDestination)
{
    TestFiles folder;
    VeskNewActionController sheet(sizedItems({ 1000 }));
    EXPECT_EQ(sheet.summaryText(),
        QStringLiteral("will Copy \n1 item of %1 size\ndestination: Invalid path\n\n1000.mxf")
            .arg(VeskFileSize::toHumanBytes(1000)));
    VeskNewActionController two(sizedItems({ 1000, 500 }));
    two.SelectDestination(folder.path() + QLatin1Char('/'));
    EXPECT_EQ(two.summaryText(),
        QStringLiteral("will Copy \n2 items of %1 size\ndestination: %2\n\n1000.mxf\n500.mxf")
            .arg(VeskFileSize::toHumanBytes(1500), folder.path()));
    EXPECT_TRUE(VeskNewActionController(sizedItems({ 1, 2, 3, 4, 5 }))
                    .summaryText()
                    .endsWith(QStringLiteral("\n\n1.mxf\n2.mxf\n3.mxf\nand 2 more")));
    EXPECT_EQ(two.ActionProperties().Destination, folder.path());
    two.RadioChanged(QStringLiteral("Delete"));
    EXPECT_TRUE(two.summaryText().contains(QStringLiteral("destination: Super Secret Annihilator (SSA)\n")));
}

TEST(NewActionController, TildeAndRelativeDestinationsBecomeAbsolute)
{
    TestFiles folder;
    QDir().mkpath(folder.path() + QStringLiteral("/Media"));
    const QByteArray previousHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(folder.path()));
    VeskNewActionController sheet(sizedItems({ 1 }));
    sheet.DestinationEditingEnd(QStringLiteral("~/Media"));
    EXPECT_EQ(sheet.ActionProperties().Destination, folder.path() + QStringLiteral("/Media"));
    const QString previousFolder = QDir::currentPath();
    QDir::setCurrent(folder.path());
    sheet.DestinationEditingEnd(QStringLiteral("Media%2F"));
    EXPECT_EQ(sheet.ActionProperties().Destination, folder.path() + QStringLiteral("/Media"));
    QDir::setCurrent(previousFolder);
    qputenv("HOME", previousHome);
}

TEST(NewActionController, GoRules)
{
    TestFiles folder;
    VeskNewActionController sheet(sizedItems({ 1 }));
    // Unticked confirmation comes first, even for an invalid action.
    EXPECT_EQ(sheet.PushGo().value().message, QStringLiteral("Please don't hurry, be patient..."));
    sheet.checkSetSure(true);
    EXPECT_EQ(sheet.PushGo().value().message, QStringLiteral("Please check destination path"));
    sheet.DestinationEditingEnd(QStringLiteral("50%"));
    EXPECT_FALSE(sheet.ActionProperties().Destination);
    EXPECT_EQ(sheet.PushGo().value().message, QStringLiteral("Invalid destination path"));
    // Delete never looks at the destination.
    sheet.RadioChanged(QStringLiteral("Delete"));
    EXPECT_FALSE(sheet.PushGo());
    sheet.RadioChanged(QStringLiteral("Move"));
    sheet.DestinationEditingEnd(QString());
    EXPECT_TRUE(sheet.PushGo()); // an empty text is no folder, not the current one
    sheet.SelectDestination(folder.path());
    EXPECT_FALSE(sheet.PushGo());

    VeskNewActionController nothing(std::nullopt);
    EXPECT_EQ(nothing.summaryText(), QStringLiteral("No items selected \nSorry, nothing to do"));
    nothing.checkSetSure(true);
    EXPECT_EQ(nothing.PushGo().value().message, QStringLiteral("No items selected. Nothing to do."));
    EXPECT_FALSE(VeskNewActionController(std::vector<VeskItemRef> {}).ActionProperties().items);
}

TEST(NewActionController, KeepingOriginalFoldersGovernsTheIndexBox)
{
    VeskNewActionController sheet(sizedItems({ 1 }));
    EXPECT_FALSE(sheet.isKeepPMREnabled());
    sheet.checkSetKeepOriginalFolders(true);
    EXPECT_TRUE(sheet.isKeepPMREnabled());
    sheet.checkSetKeepPMR(true);
    sheet.checkSetKeepOriginalFolders(false);
    EXPECT_FALSE(sheet.isKeepPMREnabled());
    EXPECT_FALSE(sheet.ActionProperties().Keep_pmr);
    EXPECT_FALSE(sheet.ActionProperties().Keep_original_folders);
}
