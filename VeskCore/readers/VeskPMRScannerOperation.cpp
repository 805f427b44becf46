#include "readers/VeskPMRScannerOperation.h"

#include "model/VeskCore.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskMainThread.h"
#include "platform/VeskSettings.h"
#include "platform/VeskStatusViewController.h"
#include "readers/PMRFile.h"
#include "readers/VeskMediafile.h"
#include "report/VeskNSLog.h"

#include <QFileInfo>
#include <QSet>

namespace {

constexpr uint32_t kAudioCode = 0x4455415F; // "_AUD"
constexpr qsizetype kManyFiles = 4000;

const QSet<QString> &fixedKnownNames()
{
    static const QSet<QString> names = {QStringLiteral("msmMMOB.mdb"), QStringLiteral("amaMMOB.mdb"),
                                        QStringLiteral("msmFMID.pmr"), QStringLiteral("amaFMID.pmr"),
                                        QStringLiteral("Creating")};
    return names;
}

QString inFolder(const QString &folder, const QString &name)
{
    return folder + QLatin1Char('/') + name;
}

} // namespace

VeskOperationQueue &VeskPMRScannerOperation::opQueue()
{
    static VeskOperationQueue queue(VeskStatusViewController::VeskMAXThreads);
    return queue;
}

VeskPMRScannerOperation::VeskPMRScannerOperation(VeskCore &core, const QString &pmrPath)
    : m_core(core)
    , m_pmrURL(pmrPath)
{
}

std::unique_ptr<VeskMediafile> VeskPMRScannerOperation::openMDB(const QString &folder, VeskStatusWheel *wheel,
                                                                uint64_t *compositions)
{
    *compositions = 0;
    if (VeskSettings::shared().integerForKey(QStringLiteral("ScanMDB")) != 1)
        return nullptr;
    QString mdb = inFolder(folder, QStringLiteral("msmMMOB.mdb"));
    if (!VeskDirectory::exists(mdb))
        mdb = inFolder(folder, QStringLiteral("amaMMOB.mdb"));
    if (!VeskDirectory::exists(mdb))
        return nullptr;
    VeskStatusViewController::getTheController()->Status_SetTextWithString(mdb);
    auto model = std::make_unique<VeskMediafile>();
    if (model->openFile(mdb, wheel))
        *compositions = model->getMDBCompositionsCount();
    return model;
}

void VeskPMRScannerOperation::main()
{
    const QString pmr = QFileInfo(m_pmrURL).absoluteFilePath();
    const QString folder = QFileInfo(pmr).absolutePath();
    VeskStatusViewController *status = VeskStatusViewController::getTheController();
    VeskStatusWheel *wheel = status->Status_GetProgressWheel();
    uint64_t compositions = 0;
    const std::unique_ptr<VeskMediafile> mdb = openMDB(folder, wheel, &compositions);
    if (wheel) {
        wheel->setIndeterminate(compositions == 0);
        wheel->setDoubleValue(0);
        wheel->setMaxValue(compositions ? double(compositions) : 100);
        wheel->startAnimation();
    }
    std::vector<VeskItemRef> items;
    PMRFile index;
    index.dataWithContentsOfURL(pmr);
    if (index.ItemsCount() == 0) {
        VESK_LOG(QStringLiteral("**** Warning **** can't open %1").arg(pmr));
        status->Status_DeleteProgressWheel(wheel);
        return;
    }
    const QStringList names = VeskDirectory::namesIn(folder);
    if (names.size() > kManyFiles)
        VESK_LOG(QStringLiteral("**** Warning **** %1 contains %2 files").arg(folder).arg(names.size()));
    QSet<QString> known = fixedKnownNames();
    uint32_t k = 0;
    for (VeskItemRef item = index.FillItem(std::make_shared<VeskDatabaseItem>()); item;
         item = index.FillItem(std::make_shared<VeskDatabaseItem>())) {
        item->setDB_itemPath(folder, item->DB_ClipName());
        item->validatePath();
        const QString path = item->DB_itemPath();
        known.insert(path.mid(path.lastIndexOf(QLatin1Char('/')) + 1));
        ++k;
        if (wheel && compositions > 0)
            wheel->setDoubleValue(double(compositions) - k);
        if (mdb)
            addMDBInfo(*mdb, *item);
        else if (item->DB_FileExists() && item->DB_NameInBin().isNull())
            item->addinfoToItemFromCorrespondingFile();
        items.push_back(std::move(item));
    }
    if (wheel) {
        wheel->setIndeterminate(true);
        wheel->setDoubleValue(0);
        wheel->setMaxValue(100);
    }
    if (k != index.ItemsCount()) {
        VESK_LOG(QStringLiteral("Error:: PMR ::%1").arg(pmr));
        VESK_LOG(QStringLiteral("Error:: PMR ::file://%1").arg(pmr));
        VESK_LOG(QStringLiteral("Item :: %1 of %2 ")
                     .arg(k, 8, 16, QLatin1Char('0'))
                     .arg(index.ItemsCount(), 8, 16, QLatin1Char('0')));
    }
    QStringList unlisted;
    for (const QString &name : names)
        if (!known.contains(name))
            unlisted.push_back(name);
    addUnlistedFiles(folder, unlisted, mdb.get(), items);
    QMutexLocker locker(&m_core.theCoreLock());
    m_core.AddItemsFromArray(items);
    status->Status_DeleteProgressWheel(wheel);
}

void VeskPMRScannerOperation::addUnlistedFiles(const QString &folder, const QStringList &unlisted,
                                               VeskMediafile *mdb, std::vector<VeskItemRef> &items) const
{
    for (const QString &name : unlisted) {
        if (VeskDirectory::isFolder(inFolder(folder, name)))
            continue;
        auto item = std::make_shared<VeskDatabaseItem>();
        item->setupWithUnrefFile(folder, name);
        item->validatePath();
        if (mdb)
            addMDBInfo(*mdb, *item);
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
    item.setDB_CompressionString(m_core.nameTables().compressionNameForItem(item).value_or(QString()));
}
