#include "scan/VeskBinUsageReport.h"

#include <algorithm>

namespace {

// An existing file of the store by the key of its UID.
struct Stock {
    uint64_t key;
    uint64_t size;
    bool operator<(const Stock &other) const { return key < other.key; }
};

std::vector<Stock> existingFiles(const std::vector<VeskItemRef> &items)
{
    std::vector<Stock> stock;
    for (const VeskItemRef &item : items)
        if (item->DB_FileExists())
            stock.push_back(
                { AVBFileUID::fromUUID(*item->DB_filePackageUID()).key(), item->DB_filesize().value_or(0) });
    std::sort(stock.begin(), stock.end());
    return stock;
}

std::vector<AVBFileUID> distinct(std::vector<AVBFileUID> references)
{
    std::sort(references.begin(), references.end());
    references.erase(std::unique(references.begin(), references.end()), references.end());
    return references;
}

VeskBinUsageReport::Row rowOf(
    const QString &bin, const std::vector<AVBFileUID> &references, const std::vector<Stock> &stock)
{
    VeskBinUsageReport::Row row { bin, references.size(), 0, 0, {} };
    for (const AVBFileUID &reference : references) {
        const auto [begin, end] = std::equal_range(stock.begin(), stock.end(), Stock { reference.key(), 0 });
        if (begin == end)
            row.offline.push_back(reference);
        else
            ++row.found;
        for (auto file = begin; file != end; ++file)
            row.foundSize += file->size;
    }
    // In the order of their texts, as a sorted listing of `vesk-cli bin` shows them.
    std::sort(row.offline.begin(), row.offline.end(),
        [](const AVBFileUID &a, const AVBFileUID &b) { return a.text() < b.text(); });
    return row;
}

} // namespace

std::vector<VeskBinUsageReport::Row> VeskBinUsageReport::rows(
    const std::vector<VeskItemRef> &items, const std::vector<Source> &sources)
{
    const std::vector<Stock> stock = existingFiles(items);
    std::vector<Row> rows;
    std::vector<AVBFileUID> all;
    for (const Source &source : sources) {
        rows.push_back(rowOf(source.bin, distinct(source.references), stock));
        all.insert(all.end(), source.references.begin(), source.references.end());
    }
    rows.push_back(rowOf(allBins(), distinct(std::move(all)), stock));
    return rows;
}

std::variant<std::vector<VeskBinUsageReport::Source>, QString> VeskBinUsageReport::readBins(const QStringList &paths)
{
    std::vector<Source> sources;
    for (const QString &path : paths) {
        AVBFile bin;
        if (const AVBFile::Status status = bin.readBin(path); AVBFile::isRefused(status))
            return AVBFile::statusText(status, path);
        sources.push_back({ path, bin.getUIDS() });
    }
    return sources;
}
