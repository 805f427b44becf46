#include "scan/VeskScanner.h"

#include "base/VeskNSLog.h"
#include "model/VeskCore.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileName.h"
#include "platform/VeskFileStat.h"
#include "platform/VeskStatusViewController.h"
#include "readers/AVBFile.h"
#include "scan/VeskPMRScannerOperation.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A media folder holds its files directly: a numbered folder under "Avid MediaFiles/MXF",
// or "OMFI MediaFiles" itself.
bool isMediaFolder(const QString &folder)
{
    const QStringList parts = QDir::cleanPath(folder).split(QLatin1Char('/'));
    const auto partIs = [&parts](qsizetype fromEnd, QLatin1String name) {
        return parts.size() > fromEnd && parts[parts.size() - 1 - fromEnd].compare(name, Qt::CaseInsensitive) == 0;
    };
    return partIs(0, QLatin1String("OMFI MediaFiles"))
        || (partIs(1, QLatin1String("MXF")) && partIs(2, QLatin1String("Avid MediaFiles")));
}

} // namespace

VeskScanner::VeskScanner(VeskCore &core)
    : m_core(core)
{
}

void VeskScanner::AddFile(const QString &path)
{
    if (!VeskDirectory::isFolder(path)) {
        AddFile_TypeSelector(path);
        return;
    }
    VeskStatusViewController *status = VeskStatusViewController::getTheController();
    addMediaFolderWithoutIndex(path);
    VeskDirectory::walk(
        path,
        [&](const QString &entry, VeskDirectory::Kind kind) {
            if (kind != VeskDirectory::Kind::Folder) {
                AddFile_TypeSelector(entry);
                return;
            }
            status->Status_SetTextWithString(entry);
            if (QFileInfo(entry).fileName().compare(QLatin1String("creating"), Qt::CaseInsensitive) == 0)
                return;
            if (!VeskDirectory::exists(entry + QLatin1String("/msmMMOB.mdb"))
                && !VeskDirectory::exists(entry + QLatin1String("/amaMMOB.mdb")))
                VESK_LOG(QStringLiteral("MDB :: doesn't exist in::file://%1/").arg(entry));
            addMediaFolderWithoutIndex(entry);
        },
        [](const QString &message) { VESK_LOG(message); });
}

// A media folder without an index still has its files listed: the scanner finds no
// index at the usual name and takes every file as unlisted.
void VeskScanner::addMediaFolderWithoutIndex(const QString &folder)
{
    if (!isMediaFolder(folder))
        return;
    // Most media folders have their index at the usual name: one look instead of a listing.
    if (const auto index = VeskFileStat::query(folder + QLatin1String("/msmFMID.pmr")); index && !index->isDirectory)
        return;
    for (const QByteArray &name : VeskDirectory::namesIn(folder))
        if (name.toLower().endsWith(".pmr")
            && !VeskDirectory::isFolder(folder + QLatin1Char('/') + VeskFileName::decode(name)))
            return;
    VESK_LOG(QStringLiteral("**** Warning **** %1 has no media index").arg(folder));
    VeskPMRScannerOperation::opQueue().addOperation(
        std::make_shared<VeskPMRScannerOperation>(m_core, folder + QLatin1String("/msmFMID.pmr")));
}

// Called for every file of a walk: the extension is compared in place.
void VeskScanner::AddFile_TypeSelector(const QString &path)
{
    if (path.endsWith(QLatin1String(".pmr"), Qt::CaseInsensitive)) {
        VeskStatusViewController::getTheController()->Status_SetTextWithString(path);
        VeskPMRScannerOperation::opQueue().addOperation(std::make_shared<VeskPMRScannerOperation>(m_core, path));
    } else if (path.endsWith(QLatin1String(".aaf"), Qt::CaseInsensitive)) {
        VeskStatusViewController::getTheController()->Status_SetTextWithString(path);
    }
}

std::optional<VeskScanner::BinProbes> VeskScanner::collectProbes(const QStringList &bins)
{
    BinProbes probes;
    for (const QString &path : bins) {
        AVBFile bin;
        const AVBFile::Status status = bin.readBin(path);
        if (AVBFile::isRefused(status)) {
            VESK_LOG(
                QStringLiteral("ERROR :: %1; the bin operation is not done").arg(AVBFile::statusText(status, path)));
            return std::nullopt;
        }
        if (status == AVBFile::Status::NoReferences)
            VESK_LOG(QStringLiteral("Warning :: %1").arg(AVBFile::statusText(status, path)));
        const std::vector<VeskItemRef> found = bin.probes();
        probes.probes.insert(probes.probes.end(), found.begin(), found.end());
        probes.bins.addBin(path, probes.probes.size());
    }
    return probes;
}

bool VeskScanner::applyBins(const QStringList &bins, BinOperation operation)
{
    const auto probes = collectProbes(bins);
    if (probes)
        (m_core.*operation)(probes->probes, probes->bins);
    return probes.has_value();
}

bool VeskScanner::AVBArray_IntersectWith(const QStringList &bins)
{
    return applyBins(bins, &VeskCore::applyFilter);
}

bool VeskScanner::AVBArray_Subtract(const QStringList &bins)
{
    return applyBins(bins, &VeskCore::applyFilterSubtract);
}

bool VeskScanner::AVBArray_Add(const QStringList &bins)
{
    return applyBins(bins, &VeskCore::applyFilterAdd);
}

void VeskScanner::parseAMAfromAVBs(const QStringList &bins)
{
    for (const QString &path : bins) {
        AVBFile bin;
        if (bin.dataWithContentsOfURL(path))
            bin.getAMAUIDS();
    }
}
