#include "StoreTestSupport.h"

#include "model/VeskTextMatcher.h"

#include <QLocale>

#include <algorithm>
#include <functional>

// One item of each kind and problem. Every choice of flags must show exactly the items
// whose kind is among the chosen kinds and whose problem is among the chosen problems,
// an empty choice of a group letting its whole group through.
TEST_F(StoreTest, KindFlagsWidenAndProblemFlagsNarrow)
{
    enum { Plain, Precompute, Imported, Audio, Kinds };
    enum { NoProblem, NonPortable, BadUMID, Unreferenced, Problems };
    const TestFiles files;
    std::vector<VeskItemRef> items;
    for (int kind = 0; kind < Kinds; ++kind) {
        for (int problem = 0; problem < Problems; ++problem) {
            // Named in the order the store shows them.
            const QString name
                = QStringLiteral("k%1p%2%3.mxf").arg(kind).arg(problem).arg(problem == NonPortable ? "\u00e9" : "");
            files.writeSparse(name, 1);
            const VeskItemRef it = item(name, "P", items.size() + 1, 1, files.path());
            it->validatePath();
            it->setDB_usageCode(kind == Precompute ? 1 : kind == Imported ? 15 : 0);
            if (kind == Audio)
                it->DB_CompressionFourCC()->setUMIDx32t(0x4455415F);
            if (problem == BadUMID)
                it->setFileUIDWithNSData(QByteArray(1, '\x07') + MediaIndexWriter::makeUID(8, 1, false).mid(1));
            if (problem != Unreferenced) // references that cannot be known are no problem
                it->setDB_referenceState(VeskDatabaseItem::ReferenceState::NoIndex);
            items.push_back(it);
        }
    }
    load(items);
    VeskFilter &filter = VeskFilter::sharedFilter();
    for (int flags = 0; flags < 64; ++flags) {
        const auto on = [&](int bit) { return (flags >> bit & 1) != 0; };
        filter.setFilterFlagPrecomputes(on(0));
        filter.setFilterFlagImportedMedia(on(1));
        filter.setFilterFlagAudioMedia(on(2));
        filter.setFilterFlagNonPortableFiles(on(3));
        filter.setFilterFlagBadUMID(on(4));
        filter.setFilterFlagUnreferenced(on(5));
        core.applyFilter();
        QStringList expected;
        for (int i = 0; i < int(Kinds) * int(Problems); ++i) {
            const int kind = i / Problems, problem = i % Problems;
            const bool kindPasses = (flags & 7) == 0 || (kind != Plain && on(kind - 1));
            const bool problemPasses = (flags >> 3) == 0 || (problem != NoProblem && on(problem + 2));
            if (kindPasses && problemPasses)
                expected.push_back(items[size_t(i)]->DB_ClipName());
        }
        EXPECT_EQ(shownNames(), expected) << "flags " << flags;
    }
}

// Search matches within one field, case aside, and across the folder separator of a
// path; the shown rows are those that pass the filter item by item.
TEST_F(StoreTest, SearchMatchesWithinOneFieldAndAcrossTheFolderSeparator)
{
    const VeskItemRef binName = item("x1.mxf", "P", 1);
    binName->setDB_NameInBin("Interview ABC");
    const VeskItemRef split = item("x2.mxf", "P", 2);
    split->setDB_NameInBin("a bc");
    load({ binName, split, item("x3.mxf", QString(), 3), item("clip.mxf", "P", 4, 1, "/vol/reel7"),
        item("clip2.mxf", "P", 5, 1, "/vol/reel8") });
    const std::pair<const char *, QStringList> cases[]
        = { { "abc", { "x1.mxf" } }, { "_00_VSK_UNMANAGED", { "x3.mxf" } }, { "l7/cl", { "clip.mxf" } },
              { "reel7", { "clip.mxf" } }, { "7/clip.", { "clip.mxf" } }, { "VOL/REEL8/CLIP2", { "clip2.mxf" } } };
    for (const auto &[text, shown] : cases) {
        VeskFilter::sharedFilter().setFilterString(text);
        core.applyFilter();
        EXPECT_EQ(shownNames(), shown) << text;
        EXPECT_EQ(shown.size(), std::count_if(core.ItemsUnsorted().begin(), core.ItemsUnsorted().end(), [](auto &i) {
            return VeskFilter::sharedFilter().itemPassFilter(i.get());
        })) << text;
    }
}

// Unchecking a project hides its items and their size; the summary, counted again for
// a search, keeps the check state; showing all projects checks them all again.
TEST_F(StoreTest, UncheckedProjectsHideTheirItemsAndKeepTheirStateInTheSummary)
{
    load({ item("a1.mxf", "A", 1, 1), item("a2.mxf", "A", 2, 2), item("a3.mxf", "A", 3, 3), item("b.mxf", "B", 4, 10),
        item("c.mxf", "a", 5, 4), item("n.mxf", QString(), 6, 4) });
    ASSERT_EQ(core.getProjectsCount(), 4u);
    EXPECT_EQ(core.projectAtIndex(3)->name(), "B");
    EXPECT_EQ(core.projectAtIndex(3)->SizeValue(), 10u);
    EXPECT_EQ(core.viewForTableColumn("ProjectSummaryID", "CountCellID", 0), "1");
    EXPECT_EQ(core.FilteredItemsSize(), 24u);
    core.setCheckStateProject(3, false);
    EXPECT_EQ(shownNames().size(), 5);
    EXPECT_EQ(core.FilteredItemsSize(), 14u);
    EXPECT_EQ(core.getAllItemsCount(), 6u);
    VeskFilter::sharedFilter().setFilterString("a2");
    core.prepareProjectsSummary();
    EXPECT_EQ(core.getProjectsCount(), 4u);
    EXPECT_FALSE(core.projectAtIndex(3)->mustBeShownInList());
    EXPECT_EQ(core.projectAtIndex(3)->FilesCount(), 0u);
    EXPECT_EQ(core.numberOfRowsInTableView("DatabaseSummaryID"), 1u);
    VeskFilter::sharedFilter().setFilterString("");
    core.setFilterFlagProjects(true);
    EXPECT_EQ(shownNames().size(), 6);
}

TEST_F(StoreTest, SortingHonoursUpToThreeKeysTheFirstDeciding)
{
    load({ item("b.mxf", "P", 1, 2), item("a.mxf", "P", 2, 1), item("c.mxf", "P", 3, 1) });
    const VeskSortDescriptor size { "filesize", true };
    core.sortUsingDescriptors({ size, { "filename", false } });
    core.applyFilter();
    EXPECT_EQ(shownNames(), (QStringList { "c.mxf", "a.mxf", "b.mxf" }));
    core.sortUsingDescriptors({ { "filename", true }, size, size, size });
    core.applyFilter();
    EXPECT_EQ(shownNames(), (QStringList { "a.mxf", "b.mxf", "c.mxf" }));
}

TEST_F(StoreTest, InvalidItemsAndMissingValuesSortLast)
{
    VeskSettings::shared().setValue("ShowOnlyExistingFiles", 1);
    const VeskItemRef dated = item("d.mxf", "P", 1);
    dated->DB_setDate(QDateTime::fromSecsSinceEpoch(1000));
    const VeskItemRef undated = item("u.mxf", "P", 2);
    const VeskItemRef unnamed = item("n.mxf", "P", 3);
    dated->setDB_NameInBin("b");
    undated->setDB_NameInBin("a");
    load({ undated, unnamed, dated });
    for (bool ascending : { true, false }) {
        core.sortUsingDescriptors({ { "filedate", ascending } });
        EXPECT_EQ(core.ItemsUnsorted()[core.IndexesSorted().front()], dated);
        core.sortUsingDescriptors({ { "clipname", ascending } });
        EXPECT_EQ(core.ItemsUnsorted()[core.IndexesSorted().back()], unnamed);
    }
    unnamed->setDB_isValid(false);
    core.sortUsingDescriptors({ { "filesize", false } });
    EXPECT_EQ(core.ItemsUnsorted()[core.IndexesSorted().front()], unnamed);
}

// Screen texts turn an absent text into "..."; export texts keep it absent.
TEST_F(StoreTest, ScreenAndExportCellTexts)
{
    VeskSettings::shared().setValue("ShowOnlyExistingFiles", 0);
    const QDateTime date = QDateTime::fromSecsSinceEpoch(86400 * 400);
    const auto dnx = [](uint32_t id, VeskRate frame) {
        return [=](VeskDatabaseItem &it) {
            it.setDB_DIDResolutionID(id);
            it.setFrameRateNumerator(frame.numerator, frame.denominator);
            it.setSampleRateNumerator(48000, 1);
        };
    };
    const struct {
        const char *column;
        std::function<void(VeskDatabaseItem &)> setUp;
        std::optional<QString> text;
    } cases[] = {
        { "ExistsCellID", [](VeskDatabaseItem &) {}, "Yes" },
        { "ExistsCellID", [](VeskDatabaseItem &it) { it.setDB_FileExists(false); }, "NO" },
        { "ExistsCellID",
            [](VeskDatabaseItem &it) {
                it.setDB_FileExists(false);
                it.setDB_isAMA(true);
            },
            "AMA link" },
        { "SizeCellID", [](VeskDatabaseItem &it) { it.setDB_FileExists(false); }, std::nullopt },
        { "SizeCellID", [](VeskDatabaseItem &it) { it.setDB_filesize(1536); }, "1.54 kB" },
        { "BitsCellID", [](VeskDatabaseItem &it) { it.setDB_bits(24); }, "24 bit" },
        { "BitsCellID", [](VeskDatabaseItem &) {}, "" },
        { "KindCellID", [](VeskDatabaseItem &it) { it.setDB_usageCode(15); }, "IMPORTED" },
        { "KindCellID", [](VeskDatabaseItem &it) { it.setDB_usageCode(7); }, "" },
        { "DateCellID", [](VeskDatabaseItem &) {}, std::nullopt },
        { "DateCellID", [&](VeskDatabaseItem &it) { it.DB_setDate(date); },
            QLocale::system().toString(date, QLocale::ShortFormat) },
        { "CompressionCellID", [](VeskDatabaseItem &) {}, std::nullopt },
        { "CompressionCellID", [](VeskDatabaseItem &it) { it.setDB_CompressionString("DV 50"); }, "DV 50" },
        { "FramerateCellID", [](VeskDatabaseItem &it) { it.setFrameRateNumerator(25, 1); }, "25fps" },
        { "FramerateCellID", [](VeskDatabaseItem &it) { it.setFrameRateNumerator(25, 0); }, std::nullopt },
        { "FramerateCellID", [](VeskDatabaseItem &it) { it.setFrameRateNumerator(30000, 1001); }, "30000" },
        { "SamplerateCellID", [](VeskDatabaseItem &it) { it.setSampleRateNumerator(48000, 0); }, "48 kHz" },
        { "SamplerateCellID", [](VeskDatabaseItem &it) { it.setSampleRateNumerator(11025, 1); }, std::nullopt },
        // Resolutions 1235 to 1274 show their bit-rate label instead, or nothing.
        { "SamplerateCellID", dnx(1234, { 25, 1 }), "48 kHz" },
        { "SamplerateCellID", dnx(1235, { 25, 1 }), "185x" },
        { "SamplerateCellID", dnx(1241, { 24, 1 }), std::nullopt },
        { "SamplerateCellID", dnx(1253, { 2997, 100 }), "45" },
        { "SamplerateCellID", dnx(1253, { 30000, 1001 }), std::nullopt },
        { "SamplerateCellID", dnx(1274, { 25, 1 }), std::nullopt },
        { "SamplerateCellID", dnx(1275, { 25, 1 }), "48 kHz" },
        { "PathCellID", [](VeskDatabaseItem &) {}, "/vol/Avid MediaFiles/MXF/1/c%1.mxf" },
        { "NoSuchColumn", [](VeskDatabaseItem &) {}, std::nullopt },
    };
    std::vector<VeskItemRef> items;
    for (const auto &c : cases) {
        items.push_back(
            item(QStringLiteral("c%1.mxf").arg(items.size(), 2, 10, QLatin1Char('0')), "P", items.size() + 1));
        c.setUp(*items.back());
    }
    load(items);
    for (uint64_t row = 0; row < std::size(cases); ++row) {
        const QString column = QString::fromLatin1(cases[row].column);
        std::optional<QString> text = cases[row].text;
        if (text && text->contains(QLatin1Char('%')))
            text = text->arg(row, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(core.viewForTableColumn("DatabaseTableID", column, row), text.value_or("...")) << "row " << row;
        EXPECT_EQ(core.NSStringValueForTableColumn("DatabaseTableID", column, row), text) << "row " << row;
    }
    EXPECT_EQ(core.viewForTableColumn("DatabaseTableID", "hash", 0).size(), 8);
    EXPECT_EQ(core.NSStringValueForTableColumn("DatabaseTableID", "hash", 0), std::nullopt);
}

// Bin operations match every copy of a file; a missing copy shows only while missing
// files are shown.
TEST_F(StoreTest, BinMatchesShowAndHideCopiesTogether)
{
    for (const int onlyExisting : { 1, 0 }) {
        VeskSettings::shared().setValue("ShowOnlyExistingFiles", onlyExisting);
        const VeskItemRef missing = item("a.mxf", "P", 1, 1, "/three");
        missing->setDB_FileExists(false);
        missing->setDB_isValid_initial(false);
        core.clear();
        load({ item("a.mxf", "P", 1, 1, "/one"), item("a.mxf", "P", 1, 1, "/two"), missing, item("b.mxf", "P", 2),
            item("c.mxf", "P", 3) });
        const QStringList copies(onlyExisting ? 2 : 3, "a.mxf");
        const VeskItemRef probe = itemWithUID(MediaIndexWriter::makeUID(8, 1, false).mid(16, 8));
        core.applyFilter({ probe });
        EXPECT_EQ(shownNames(), copies);
        core.applyFilterSubtract({ probe });
        EXPECT_TRUE(shownNames().isEmpty());
        core.applyFilterAdd({ probe });
        EXPECT_EQ(shownNames(), copies);
        const VeskItemRef stranger = itemWithUID(QByteArray(8, '\x77'));
        core.applyFilter({ stranger });
        EXPECT_TRUE(shownNames().isEmpty());
        core.applyFilter(std::vector<VeskItemRef> {}); // nothing to match: unchanged
        EXPECT_TRUE(shownNames().isEmpty());
    }
}

// Each key ranks seven items by its own permutation (rank = (a * item + b) mod 7 with a
// of 1, 2 or 3, whose reverses have a of 6, 5 or 4), so a key reading another key's
// field, or sorting the wrong way, gives an order that key does not.
TEST_F(StoreTest, EveryKeySortsBothWays)
{
    const std::string_view keys[] = { "filename", "clipname", "project", "filesize", "path", "filedate", "compression",
        "samplerate", "framerate", "bits", "fileUID", "materialUID" };
    const auto rank = [](size_t key, uint32_t n) { return uint32_t((1 + key / 7) * n + key % 7) % 7; };
    std::vector<VeskItemRef> items;
    for (uint32_t n = 0; n < 7; ++n) {
        const auto r = [&](std::string_view key) { return rank(std::find(keys, std::end(keys), key) - keys, n); };
        const VeskItemRef it
            = item(QStringLiteral("%1.mxf").arg(r("filename")), QStringLiteral("P%1").arg(r("project")), n + 1,
                100 + r("filesize"), QStringLiteral("/v/%1").arg(r("path")));
        it->setDB_NameInBin(QStringLiteral("Bin %1").arg(r("clipname")));
        it->DB_setDate(QDateTime::fromSecsSinceEpoch(1000 * (r("filedate") + 1)));
        it->setDB_DIDResolutionID(r("compression") + 1);
        it->setSampleRateNumerator(r("samplerate") + 1, 1);
        // The numerator decides, not the rate: the rates fall as the numerators rise.
        it->setFrameRateNumerator(10 * (r("framerate") + 1), (r("framerate") + 1) * (r("framerate") + 1));
        it->setDB_bits(r("bits") + 1);
        // UIDs compare byte by byte, the greater first when ascending.
        it->DB_filePackageUID()->UMIDx[0] = uint8_t(9 - r("fileUID"));
        it->DB_materialPackageUID()->UMIDx[0] = uint8_t(9 - r("materialUID"));
        items.push_back(it);
    }
    load(items);
    for (size_t key = 0; key < std::size(keys); ++key) {
        for (bool ascending : { true, false }) {
            core.sortUsingDescriptors({ { QString::fromLatin1(keys[key]), ascending } });
            core.applyFilter();
            QStringList expected(7);
            for (uint32_t n = 0; n < 7; ++n)
                expected[ascending ? rank(key, n) : 6 - rank(key, n)] = items[n]->DB_ClipName();
            EXPECT_EQ(shownNames(), expected) << keys[key] << (ascending ? " ascending" : " descending");
        }
    }
}

// Texts that agree on long stretches, differ only in case or length, and folders that
// begin other folders (a path orders by its whole text, not its folder first) must
// sort as their whole folded texts do, ties keeping their previous order.
TEST_F(StoreTest, TextKeysSortAsTheirWholeFoldedTexts)
{
    const char *names[][2] = { { "/v/a", "clip-long-name-0002.mxf" }, { "/v/a", "CLIP-long-name-0001.mxf" },
        { "/v/a b", "z.mxf" }, { "/v/a/sub", "b.mxf" }, { "/v/a/", "c.mxf" }, { "/v/A", "clip-long-name-0001.mxf" },
        { "/v/a-1", "x.mxf" }, { "/v/a/sub", "a.mxf" }, { "/v", "a" }, { "/v/a", "clip" } };
    const char *bins[] = { "Interview 12 take 3", "interview 12 take 3", "Interview 12 take", "Interview 12 take 30",
        "", "Interview 12 take 3", "Inter", "Interview 12 Take 2", "b", "Interview 12 take 3" };
    std::vector<VeskItemRef> items;
    for (size_t i = 0; i < std::size(names); ++i) {
        items.push_back(item(QString::fromLatin1(names[i][1]), "P", i + 1, 1, QString::fromLatin1(names[i][0])));
        items.back()->setDB_NameInBin(QString::fromLatin1(bins[i]));
    }
    load(items);
    const std::pair<const char *, std::function<QString(const VeskDatabaseItem &)>> keys[] = {
        { "filename", [](const VeskDatabaseItem &it) { return it.DB_ClipName(); } },
        { "clipname", [](const VeskDatabaseItem &it) { return it.DB_NameInBin(); } },
        { "path", [](const VeskDatabaseItem &it) { return it.DB_itemPath(); } },
    };
    for (const auto &[key, text] : keys) {
        std::vector<uint32_t> expected = core.IndexesSorted();
        std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
            const QString ta = text(*core.ItemsUnsorted()[a]), tb = text(*core.ItemsUnsorted()[b]);
            return !ta.isEmpty() && (tb.isEmpty() || VeskTextMatcher::compareFolded(ta, tb) < 0);
        });
        core.sortUsingDescriptors({ { QString::fromLatin1(key), true } });
        EXPECT_EQ(core.IndexesSorted(), expected) << key;
    }
}
