#include "SyntheticMedia.h"

#include "MediaIndexWriter.h"

namespace {

const char *const kWords[] = { "Interview", "Broll", "Drone", "Wide", "Close", "Reverse", "Insert", "Cutaway",
    "Establishing", "Pickup", "Archive", "Music", "Dialogue", "Ambience", "Titles" };

} // namespace

QString SyntheticMedia::projectName(uint32_t number)
{
    return QStringLiteral("%1 %2 Season %3")
        .arg(QString::fromLatin1(kWords[number % 15]))
        .arg(number)
        .arg(number % 7 + 1);
}

QString SyntheticMedia::clipName(std::mt19937 &random, uint64_t number)
{
    return QStringLiteral("A%1C%2_%3_%4.V%5.mxf")
        .arg(random() % 999, 3, 10, QLatin1Char('0'))
        .arg(random() % 999, 3, 10, QLatin1Char('0'))
        .arg(220101 + random() % 1000)
        .arg(QString::fromLatin1(kWords[random() % 15]))
        .arg(number, 8, 16, QLatin1Char('0'))
        .toUpper();
}

std::vector<VeskItemRef> SyntheticMedia::makeItems(const Options &options)
{
    std::mt19937 random(options.seed);
    std::vector<VeskItemRef> items;
    items.reserve(options.count);
    QString folder;
    QString project;
    const uint64_t unique = uint64_t(double(options.count) * (1.0 - options.duplicateShare));
    for (uint64_t i = 0; i < unique; ++i) {
        if (i % options.filesPerFolder == 0) {
            const uint64_t number = i / options.filesPerFolder;
            folder = QStringLiteral("/mnt/Shared%1/Avid MediaFiles/MXF/%2").arg(number % 4 + 1).arg(number);
            project = projectName(uint32_t(random() % options.projects));
        }
        auto item = std::make_shared<VeskDatabaseItem>();
        const QByteArray record = MediaIndexWriter()
                                      .firstUIDNumber(i + 1)
                                      .record(clipName(random, i).toLatin1(), project.toLatin1())
                                      .recordBytes(0);
        item->setupWithPmrBytes(
            reinterpret_cast<const uint8_t *>(record.constData()), uint32_t(record.size()), 8, false);
        item->setDB_itemPath(folder, item->DB_ClipName());
        item->setDB_NameInBin(QStringLiteral("%1 %2 take %3")
                                  .arg(QString::fromLatin1(kWords[random() % 15]))
                                  .arg(i % 997)
                                  .arg(random() % 9 + 1));
        item->setDB_filesize(uint64_t(4096) + random() % 4000000000u);
        item->DB_setDate(QDateTime::fromSecsSinceEpoch(1600000000 + random() % 100000000, Qt::UTC));
        item->setDB_FileExists(true);
        item->setDB_isValid_initial(true);
        item->setDB_DIDResolutionID(1235 + random() % 40);
        item->setFrameRateNumerator(25, 1);
        items.push_back(std::move(item));
    }
    // The duplicates: the same files found again (same UID and path) by a second scan.
    for (uint64_t i = unique; i < options.count; ++i)
        items.push_back(items[random() % unique]);
    return items;
}
