#include "model/VeskBinUsage.h"

#include <QFileInfo>

#include <algorithm>

namespace {

QString binName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    return name.endsWith(QLatin1String(".avb"), Qt::CaseInsensitive) ? name.chopped(4) : name;
}

} // namespace

// The matches, ordered by item, are met in one walk over the positions.
void VeskBinUsage::record(const std::vector<VeskItemRef> &items, const VeskProbeBins &bins, std::vector<Hit> hits)
{
    std::vector<uint32_t> numbers;
    for (const QString &path : bins.paths)
        numbers.push_back(binNumber(path));
    if (hits.empty())
        return;
    std::sort(hits.begin(), hits.end(), [](const Hit &a, const Hit &b) { return std::less<>()(a.item, b.item); });
    m_listOfItem.resize(items.size());
    for (size_t position = 0; position < items.size(); ++position) {
        const VeskDatabaseItem *item = items[position].get();
        auto hit = std::lower_bound(hits.begin(), hits.end(), item,
            [](const Hit &a, const VeskDatabaseItem *b) { return std::less<>()(a.item, b); });
        for (; hit != hits.end() && hit->item == item; ++hit)
            if (hit->bin < numbers.size())
                m_listOfItem[position] = listWith(m_listOfItem[position], numbers[hit->bin]);
    }
}

uint32_t VeskBinUsage::binNumber(const QString &path)
{
    if (const auto known = m_binNumbers.constFind(path); known != m_binNumbers.constEnd())
        return *known;
    const auto number = uint32_t(m_binPaths.size());
    m_binNumbers.insert(path, number);
    m_binPaths.push_back(path);
    m_binNames.push_back(binName(path));
    return number;
}

uint32_t VeskBinUsage::listWith(uint32_t list, uint32_t bin)
{
    const uint64_t step = (uint64_t(list) << 32) | bin;
    if (const auto known = m_nextList.constFind(step); known != m_nextList.constEnd())
        return *known;
    std::vector<uint32_t> bins = m_lists[list];
    if (const auto at = std::lower_bound(bins.begin(), bins.end(), bin); at == bins.end() || *at != bin)
        bins.insert(at, bin);
    auto [entry, added] = m_listNumbers.try_emplace(bins, uint32_t(m_lists.size()));
    if (added)
        m_lists.push_back(std::move(bins));
    m_nextList.insert(step, entry->second);
    return entry->second;
}

QStringList VeskBinUsage::namesOfList(uint32_t list) const
{
    QStringList names;
    for (uint32_t bin : m_lists[list])
        names.push_back(m_binNames[bin]);
    return names;
}

QString VeskBinUsage::text(size_t position) const
{
    return names(position).join(QStringLiteral(", "));
}

std::vector<QString> VeskBinUsage::listTexts() const
{
    std::vector<QString> texts;
    for (uint32_t list = 0; list < m_lists.size(); ++list)
        texts.push_back(namesOfList(list).join(QStringLiteral(", ")));
    return texts;
}
