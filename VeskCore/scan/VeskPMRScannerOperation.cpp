#include "scan/VeskPMRScannerOperation.h"

#include "base/VeskMainThread.h"
#include "base/VeskNSLog.h"
#include "model/VeskItemIntake.h"
#include "model/VeskNameTables.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileName.h"
#include "platform/VeskFileOperations.h"
#include "platform/VeskOpenFolder.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "readers/PMRFile.h"
#include "readers/VeskMediafile.h"

#include <QFileInfo>
#include <QSet>

namespace {

constexpr uint32_t kAudioCode = 0x4455415F; // "_AUD"
constexpr qsizetype kManyFiles = 4000;
constexpr size_t kSkippedRecordsLogged = 20;

const QSet<QByteArray> &fixedKnownNames()
{
    static const QSet<QByteArray> names = { "msmMMOB.mdb", "amaMMOB.mdb", "msmFMID.pmr", "amaFMID.pmr", "Creating" };
    return names;
}

// Copies write their data under this prefix and rename it into place when done.
const QByteArray kCopyTemporaryPrefix = VeskFileName::encode(VeskFileOperations::temporaryPrefix());

QString inFolder(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

// A crafted index can skip a record every few bytes; the console gets the first few.
void logSkippedRecords(const QString &folder, const std::vector<uint32_t> &records)
{
    for (size_t i = 0; i < records.size() && i < kSkippedRecordsLogged; ++i)
        VESK_LOG(QStringLiteral("**** Warning **** %1: record %2 of the media index does not name a file; skipped")
                     .arg(folder)
                     .arg(records[i]));
    if (records.size() > kSkippedRecordsLogged)
        VESK_LOG(QStringLiteral("**** Warning **** %1: %2 more records of the media index skipped")
                     .arg(folder)
                     .arg(records.size() - kSkippedRecordsLogged));
}

// Each index record brings its own copy of its project's name; the items of one folder
// keep one copy of each name instead. Empty names stay as they are: a null name and an
// empty one compare equal but mean different things.
void shareProjectNames(const std::vector<VeskItemRef> &items)
{
    QSet<QString> names;
    for (const VeskItemRef &item : items) {
        const QString name = item->DB_ProjectName();
        if (name.isEmpty())
            continue;
        const auto known = names.constFind(name);
        if (known == names.cend())
            names.insert(name);
        else if (known->constData() != name.constData())
            item->setDB_ProjectName(*known);
    }
}

} // namespace

VeskOperationQueue &VeskPMRScannerOperation::opQueue()
{
    static VeskOperationQueue queue(VeskStatusViewController::VeskMAXThreads);
    return queue;
}

VeskPMRScannerOperation::VeskPMRScannerOperation(VeskItemIntake &intake, const QString &pmrPath)
    : m_intake(intake)
    , m_pmrURL(pmrPath)
{
    // Once, before the first operation runs: earlier ones may be reading the hook.
    static const bool installed = (VeskMediafile::installCorrespondingFileReader(), true);
    Q_UNUSED(installed);
}

std::unique_ptr<VeskMediafile> VeskPMRScannerOperation::openMDB(
    const QString &folder, VeskStatusWheel *wheel, uint64_t *compositions, ReferenceState *state)
{
    *compositions = 0;
    *state = ReferenceState::DatabaseOff;
    if (VeskSettings::shared().integerForKey(QStringLiteral("ScanMDB")) != 1)
        return nullptr;
    *state = ReferenceState::NoDatabase;
    QString mdb = inFolder(folder, QStringLiteral("msmMMOB.mdb"));
    if (!VeskDirectory::exists(mdb))
        mdb = inFolder(folder, QStringLiteral("amaMMOB.mdb"));
    if (!VeskDirectory::exists(mdb))
        return nullptr;
    VeskStatusViewController::getTheController()->Status_SetTextWithString(mdb);
    auto model = std::make_unique<VeskMediafile>();
    *state = ReferenceState::DatabaseUnreadable;
    if (model->openFile(mdb, wheel)) {
        *state = ReferenceState::Known;
        *compositions = model->getMDBCompositionsCount();
    }
    return model;
}

void VeskPMRScannerOperation::main()
{
    if (isCancelled())
        return;
    const QString pmr = QFileInfo(m_pmrURL).absoluteFilePath();
    const QString folder = QFileInfo(pmr).absolutePath();
    VeskStatusViewController *status = VeskStatusViewController::getTheController();
    VeskStatusWheel *wheel = status->Status_GetProgressWheel();
    uint64_t compositions = 0;
    ReferenceState state = ReferenceState::Known;
    const std::unique_ptr<VeskMediafile> mdb = openMDB(folder, wheel, &compositions, &state);
    if (wheel) {
        wheel->setIndeterminate(compositions == 0);
        wheel->setDoubleValue(0);
        wheel->setMaxValue(compositions ? double(compositions) : 100);
        wheel->startAnimation();
    }
    const VeskOpenFolder openFolder(folder);
    std::vector<VeskItemRef> items;
    const ReferenceState indexState = readIndex(pmr, openFolder, mdb.get(), wheel, compositions, items);
    if (indexState != ReferenceState::Known)
        state = indexState;
    if (wheel) {
        wheel->setIndeterminate(true);
        wheel->setDoubleValue(0);
        wheel->setMaxValue(100);
    }
    QSet<QByteArray> known = fixedKnownNames();
    for (const VeskItemRef &item : items)
        known.insert(VeskFileName::encode(item->DB_itemFileName()));
    const QList<QByteArray> names = VeskDirectory::namesIn(folder);
    if (names.size() > kManyFiles)
        VESK_LOG(QStringLiteral("**** Warning **** %1 contains %2 files").arg(folder).arg(names.size()));
    QList<QByteArray> unlisted;
    for (const QByteArray &name : names)
        if (!known.contains(name) && !name.startsWith(kCopyTemporaryPrefix))
            unlisted.push_back(name);
    addUnlistedFiles(openFolder, unlisted, mdb.get(), indexState == ReferenceState::NoIndex, items);
    shareProjectNames(items);
    for (const VeskItemRef &item : items)
        item->setDB_referenceState(state);
    if (state != ReferenceState::Known && !items.empty())
        VESK_LOG(QStringLiteral("**** Warning **** %1: %2; its %3 items never count as unreferenced")
                     .arg(folder, VeskDatabaseItem::referenceStateText(state))
                     .arg(items.size()));
    m_intake.addScannedItems(items);
    status->Status_DeleteProgressWheel(wheel);
}

// Reads the index's records into items; the index's state for the folder.
VeskPMRScannerOperation::ReferenceState VeskPMRScannerOperation::readIndex(const QString &pmr,
    const VeskOpenFolder &openFolder, VeskMediafile *mdb, VeskStatusWheel *wheel, uint64_t compositions,
    std::vector<VeskItemRef> &items) const
{
    const QString &folder = openFolder.path();
    PMRFile index;
    index.dataWithContentsOfURL(pmr);
    if (index.ItemsCount() == 0) {
        VESK_LOG(QStringLiteral("**** Warning **** can't open %1; the files of %2 are listed as unmanaged")
                     .arg(pmr, folder));
        return ReferenceState::NoIndex;
    }
    uint32_t k = 0;
    for (VeskItemRef item = index.FillItem(std::make_shared<VeskDatabaseItem>()); item;
         item = index.FillItem(std::make_shared<VeskDatabaseItem>())) {
        item->setDB_itemPath(folder, item->DB_itemFileName());
        item->validatePath(&openFolder);
        ++k;
        if (wheel && compositions > 0)
            wheel->setDoubleValue(double(compositions) - k);
        if (mdb)
            addMDBInfo(*mdb, *item);
        else if (item->DB_FileExists() && item->DB_NameInBin().isNull())
            item->addinfoToItemFromCorrespondingFile();
        items.push_back(std::move(item));
    }
    logSkippedRecords(folder, index.skippedRecords());
    if (k == index.ItemsCount() && index.skippedRecords().empty())
        return ReferenceState::Known;
    VESK_LOG(QStringLiteral("Error:: PMR ::%1").arg(pmr));
    VESK_LOG(QStringLiteral("Error:: PMR ::file://%1").arg(pmr));
    VESK_LOG(QStringLiteral("Item :: %1 of %2 ")
                 .arg(k, 8, 16, QLatin1Char('0'))
                 .arg(index.ItemsCount(), 8, 16, QLatin1Char('0')));
    return ReferenceState::IndexIncomplete;
}

void VeskPMRScannerOperation::addUnlistedFiles(const VeskOpenFolder &folder, const QList<QByteArray> &unlisted,
    VeskMediafile *mdb, bool readHeaders, std::vector<VeskItemRef> &items) const
{
    for (const QByteArray &name : unlisted) {
        const QString fileName = VeskFileName::decode(name);
        if (VeskDirectory::isFolder(inFolder(folder.path(), fileName)))
            continue;
        auto item = std::make_shared<VeskDatabaseItem>();
        item->setupWithUnrefFile(folder.path(), fileName);
        item->validatePath(&folder);
        if (mdb)
            addMDBInfo(*mdb, *item);
        else if (readHeaders)
            item->addinfoToItemFromCorrespondingFile();
        items.push_back(std::move(item));
    }
}

void VeskPMRScannerOperation::addMDBInfo(VeskMediafile &mdb, VeskDatabaseItem &item) const
{
    mdb.addInfoToItem(item);
    if (item.DB_CompressionFourCC()->UMIDx32t() == kAudioCode)
        item.setDB_CompressionString(QStringLiteral("Audio"));
    else
        setCompressionStringForItem(item);
}

void VeskPMRScannerOperation::setCompressionStringForItem(VeskDatabaseItem &item) const
{
    item.setDB_CompressionString(m_intake.nameTables().compressionNameForItem(item).value_or(QString()));
}
