#include "actions/VeskMHLRecorder.h"

#include <QFileInfo>

#include <vector>

VeskMHLRecorder::VeskMHLRecorder(QString destination)
    : m_history(std::move(destination))
{
}

void VeskMHLRecorder::add(const QString &target, const QString &xxh128, bool verified)
{
    const QString path = m_history.relativePath(target);
    if (path.isEmpty())
        return;
    const QFileInfo info(target);
    m_hashes[path] = { path, info.size(), info.lastModified(), xxh128,
        verified ? QStringLiteral("verified") : QStringLiteral("original") };
}

bool VeskMHLRecorder::write(QString *error)
{
    if (m_hashes.empty())
        return true;
    std::vector<VeskMHLHistory::Hash> hashes;
    for (const auto &[path, hash] : m_hashes)
        hashes.push_back(hash);
    return m_history.append(QStringLiteral("transfer"), hashes, error);
}
