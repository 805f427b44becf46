#include "StoreTestSupport.h"

namespace {

VeskItemRef withUsage(VeskItemRef item, uint32_t usage)
{
    item->setDB_usageCode(usage);
    return item;
}

} // namespace

TEST_F(StoreTest, KindFlagsWidenAndProblemFlagsNarrow)
{
    const VeskItemRef precompute = withUsage(item(QStringLiteral("p.mxf"), QStringLiteral("P"), 1), 1);
    const VeskItemRef audio = item(QStringLiteral("a.wav"), QStringLiteral("P"), 2);
    const VeskItemRef master = item(QStringLiteral("m.mxf"), QStringLiteral("P"), 3);
    load({precompute, audio, master});
    VeskFilter &filter = VeskFilter::sharedFilter();
    filter.setFilterFlagPrecomputes(true);
    filter.setFilterFlagAudioMedia(true);
    core.applyFilter();
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("a.wav"), QStringLiteral("p.mxf")}));
    filter.ResetFilter();
    filter.setFilterFlagUnreferenced(false);
    filter.setFilterFlagBadUMID(true);
    core.applyFilter();
    EXPECT_TRUE(shownNames().isEmpty()); // all UIDs are good
}

TEST_F(StoreTest, SearchIsCaseInsensitiveWithinOneField)
{
    const VeskItemRef binName = item(QStringLiteral("x1.mxf"), QStringLiteral("P"), 1);
    binName->setDB_NameInBin(QStringLiteral("Interview ABC"));
    const VeskItemRef split = item(QStringLiteral("x2.mxf"), QStringLiteral("P"), 2);
    split->setDB_NameInBin(QStringLiteral("a bc"));
    const VeskItemRef unmanaged = item(QStringLiteral("x3.mxf"), QString(), 3);
    load({binName, split, unmanaged});
    VeskFilter::sharedFilter().setFilterString(QStringLiteral("abc"));
    core.applyFilter();
    EXPECT_EQ(shownNames(), QStringList{QStringLiteral("x1.mxf")});
    VeskFilter::sharedFilter().setFilterString(QStringLiteral("_00_VSK_UNMANAGED"));
    core.applyFilter();
    EXPECT_EQ(shownNames(), QStringList{QStringLiteral("x3.mxf")});
}

TEST_F(StoreTest, SearchFindsTextAcrossTheFolderSeparator)
{
    load({item(QStringLiteral("clip.mxf"), QStringLiteral("P"), 1, 1, QStringLiteral("/vol/reel7")),
          item(QStringLiteral("clip2.mxf"), QStringLiteral("P"), 2, 1, QStringLiteral("/vol/reel8"))});
    for (const char *text : {"l7/cl", "reel7", "7/clip.", "VOL/REEL8/CLIP2"}) {
        VeskFilter::sharedFilter().setFilterString(QString::fromLatin1(text));
        core.applyFilter();
        EXPECT_EQ(shownNames().size(), 1) << text;
        EXPECT_EQ(shownNames().size(), int(std::count_if(core.ItemsUnsorted().begin(), core.ItemsUnsorted().end(),
                                                         [](const VeskItemRef &i) {
                                                             return VeskFilter::sharedFilter().itemPassFilter(i.get());
                                                         })))
            << text;
    }
}

TEST_F(StoreTest, UncheckedProjectsHideTheirItemsAndSize)
{
    load({item(QStringLiteral("a.mxf"), QStringLiteral("A"), 1, 5), item(QStringLiteral("b.mxf"), QStringLiteral("B"), 2, 7)});
    EXPECT_EQ(core.FilteredItemsSize(), 12u);
    core.setCheckStateProject(1, false);
    EXPECT_EQ(shownNames(), QStringList{QStringLiteral("a.mxf")});
    EXPECT_EQ(core.FilteredItemsSize(), 5u);
    EXPECT_EQ(core.getAllItemsCount(), 2u);
    core.setFilterFlagProjects(true);
    EXPECT_EQ(shownNames().size(), 2);
}

TEST_F(StoreTest, ProjectSummaryCountsValidItemsAndKeepsCheckStates)
{
    load({item(QStringLiteral("a1.mxf"), QStringLiteral("A"), 1, 1), item(QStringLiteral("a2.mxf"), QStringLiteral("A"), 2, 2),
          item(QStringLiteral("a3.mxf"), QStringLiteral("A"), 3, 3), item(QStringLiteral("b.mxf"), QStringLiteral("B"), 4, 10),
          item(QStringLiteral("c.mxf"), QStringLiteral("a"), 5, 4), item(QStringLiteral("n.mxf"), QString(), 6, 4)});
    ASSERT_EQ(core.getProjectsCount(), 4u);
    EXPECT_EQ(core.projectAtIndex(3)->name(), QStringLiteral("B"));
    const VeskProjectRef b = core.projectAtIndex(3);
    EXPECT_EQ(b->SizeValue(), 10u);
    EXPECT_EQ(core.viewForTableColumn(QStringLiteral("ProjectSummaryID"), QStringLiteral("CountCellID"), 0),
              QStringLiteral("1"));
    b->setMustBeShownInList(false);
    VeskFilter::sharedFilter().setFilterString(QStringLiteral("a2"));
    core.prepareProjectsSummary();
    EXPECT_EQ(core.getProjectsCount(), 4u);
    EXPECT_FALSE(core.projectAtIndex(3)->mustBeShownInList());
    EXPECT_EQ(core.projectAtIndex(3)->FilesCount(), 0u);
    EXPECT_EQ(core.numberOfRowsInTableView(QStringLiteral("DatabaseSummaryID")), 1u);
}

TEST_F(StoreTest, SortingHonoursUpToThreeKeysTheFirstDeciding)
{
    load({item(QStringLiteral("b.mxf"), QStringLiteral("P"), 1, 2), item(QStringLiteral("a.mxf"), QStringLiteral("P"), 2, 1),
          item(QStringLiteral("c.mxf"), QStringLiteral("P"), 3, 1)});
    const VeskSortDescriptor size{QStringLiteral("filesize"), true};
    const VeskSortDescriptor nameDown{QStringLiteral("filename"), false};
    core.sortUsingDescriptors({size, nameDown});
    core.applyFilter();
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("c.mxf"), QStringLiteral("a.mxf"), QStringLiteral("b.mxf")}));
    core.sortUsingDescriptors({{QStringLiteral("filename"), true}, size, size, size});
    core.applyFilter();
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("a.mxf"), QStringLiteral("b.mxf"), QStringLiteral("c.mxf")}));
}

TEST_F(StoreTest, UIDSortPutsGreaterBytesFirstWhenAscending)
{
    const VeskItemRef low = item(QStringLiteral("low.mxf"), QStringLiteral("P"), 1);
    const VeskItemRef high = item(QStringLiteral("high.mxf"), QStringLiteral("P"), 2);
    high->DB_filePackageUID()->UMIDx[0] = 0xFF;
    low->DB_filePackageUID()->UMIDx[0] = 0x00;
    load({low, high});
    core.sortUsingDescriptors({{QStringLiteral("fileUID"), true}});
    core.applyFilter();
    EXPECT_EQ(shownNames().front(), QStringLiteral("high.mxf"));
    core.sortUsingDescriptors({{QStringLiteral("fileUID"), false}});
    core.applyFilter();
    EXPECT_EQ(shownNames().front(), QStringLiteral("low.mxf"));
}

TEST_F(StoreTest, InvalidItemsAndMissingValuesSortLast)
{
    VeskSettings::shared().setValue(QStringLiteral("ShowOnlyExistingFiles"), 1);
    const VeskItemRef dated = item(QStringLiteral("d.mxf"), QStringLiteral("P"), 1);
    dated->DB_setDate(QDateTime::fromSecsSinceEpoch(1000));
    const VeskItemRef undated = item(QStringLiteral("u.mxf"), QStringLiteral("P"), 2);
    const VeskItemRef unnamed = item(QStringLiteral("n.mxf"), QStringLiteral("P"), 3);
    dated->setDB_NameInBin(QStringLiteral("b"));
    undated->setDB_NameInBin(QStringLiteral("a"));
    load({undated, unnamed, dated});
    for (bool ascending : {true, false}) {
        core.sortUsingDescriptors({{QStringLiteral("filedate"), ascending}});
        std::vector<uint32_t> order = core.IndexesSorted();
        EXPECT_EQ(core.ItemsUnsorted()[order.front()], dated);
        core.sortUsingDescriptors({{QStringLiteral("clipname"), ascending}});
        EXPECT_EQ(core.ItemsUnsorted()[core.IndexesSorted().back()], unnamed);
    }
    unnamed->setDB_isValid(false);
    core.sortUsingDescriptors({{QStringLiteral("filesize"), false}});
    EXPECT_EQ(core.ItemsUnsorted()[core.IndexesSorted().front()], unnamed);
}

TEST_F(StoreTest, FrameRateSortsByNumerator)
{
    const VeskItemRef fifty = item(QStringLiteral("f.mxf"), QStringLiteral("P"), 1);
    fifty->setFrameRateNumerator(50, 2);
    const VeskItemRef twentyFive = item(QStringLiteral("t.mxf"), QStringLiteral("P"), 2);
    twentyFive->setFrameRateNumerator(25, 1);
    load({fifty, twentyFive});
    core.sortUsingDescriptors({{QStringLiteral("framerate"), true}});
    core.applyFilter();
    EXPECT_EQ(shownNames().front(), QStringLiteral("t.mxf"));
    EXPECT_EQ(core.viewForTableColumn(QStringLiteral("DatabaseTableID"), QStringLiteral("FramerateCellID"), 1),
              QStringLiteral("25fps"));
}

TEST_F(StoreTest, ScreenAndExportCellTexts)
{
    VeskSettings::shared().setValue(QStringLiteral("ShowOnlyExistingFiles"), 0);
    const VeskItemRef missing = item(QStringLiteral("100%.mxf"), QStringLiteral("P"), 1);
    missing->setDB_FileExists(false);
    missing->setDB_isAMA(true);
    load({missing});
    const auto screen = [&](const char *column) {
        return core.viewForTableColumn(QStringLiteral("DatabaseTableID"), QString::fromLatin1(column), 0);
    };
    const auto exported = [&](const char *column) {
        return core.NSStringValueForTableColumn(QStringLiteral("DatabaseTableID"), QString::fromLatin1(column), 0);
    };
    EXPECT_EQ(screen("KindCellID"), QStringLiteral(""));
    EXPECT_EQ(screen("SizeCellID"), QStringLiteral("..."));
    EXPECT_EQ(exported("SizeCellID"), std::nullopt);
    EXPECT_EQ(screen("ExistsCellID"), QStringLiteral("AMA link"));
    EXPECT_EQ(screen("PathCellID"), QStringLiteral("/vol/Avid MediaFiles/MXF/1/100%.mxf"));
    EXPECT_EQ(screen("hash").size(), 8);
    EXPECT_EQ(exported("hash"), std::nullopt);
    EXPECT_EQ(screen("NoSuchColumn"), QStringLiteral("..."));
}

TEST_F(StoreTest, BinMatchesShowAndHideCopiesTogether)
{
    const VeskItemRef copy1 = item(QStringLiteral("a.mxf"), QStringLiteral("P"), 1, 1, QStringLiteral("/one"));
    const VeskItemRef copy2 = item(QStringLiteral("a.mxf"), QStringLiteral("P"), 1, 1, QStringLiteral("/two"));
    load({copy1, copy2, item(QStringLiteral("b.mxf"), QStringLiteral("P"), 2), item(QStringLiteral("c.mxf"), QStringLiteral("P"), 3)});
    auto probe = std::make_shared<VeskDatabaseItem>();
    probe->setFileUIDWithNSData(MediaIndexWriter::makeUID(8, 1, false).mid(16, 8));
    core.applyFilter({probe});
    EXPECT_EQ(shownNames(), (QStringList{QStringLiteral("a.mxf"), QStringLiteral("a.mxf")}));
    core.applyFilterSubtract({probe});
    EXPECT_TRUE(shownNames().isEmpty());
    core.applyFilterAdd({probe});
    EXPECT_EQ(shownNames().size(), 2);
    auto stranger = std::make_shared<VeskDatabaseItem>();
    stranger->setFileUIDWithNSData(QByteArray(8, '\x77'));
    core.applyFilter({stranger});
    EXPECT_TRUE(shownNames().isEmpty());
    core.applyFilter(std::vector<VeskItemRef>{}); // nothing to match: unchanged
    EXPECT_TRUE(shownNames().isEmpty());
}

TEST_F(StoreTest, EveryKeySortsBothWays)
{
    std::vector<VeskItemRef> items;
    for (uint32_t n = 1; n <= 3; ++n) {
        const VeskItemRef it = item(QStringLiteral("%1.mxf").arg(QChar(u'a' + n)), QStringLiteral("P%1").arg(n), n,
                                    n, QStringLiteral("/v/%1").arg(n));
        it->setDB_NameInBin(QStringLiteral("Bin %1").arg(n));
        it->setDB_DIDResolutionID(n);
        it->setSampleRateNumerator(n, 1);
        it->setFrameRateNumerator(n, 1);
        it->setDB_bits(n);
        it->DB_setDate(QDateTime::fromSecsSinceEpoch(n * 1000));
        items.push_back(it);
    }
    load({items[2], items[0], items[1]});
    for (const char *key : {"filename", "clipname", "project", "filesize", "path", "filedate", "compression",
                            "samplerate", "framerate", "bits"}) {
        for (bool ascending : {true, false}) {
            core.sortUsingDescriptors({{QString::fromLatin1(key), ascending}});
            core.applyFilter();
            const QStringList expected = ascending
                ? QStringList{QStringLiteral("b.mxf"), QStringLiteral("c.mxf"), QStringLiteral("d.mxf")}
                : QStringList{QStringLiteral("d.mxf"), QStringLiteral("c.mxf"), QStringLiteral("b.mxf")};
            EXPECT_EQ(shownNames(), expected) << key << (ascending ? " ascending" : " descending");
        }
    }
}
