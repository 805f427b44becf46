#include "actions/VeskMHLVerification.h"

#include "platform/VeskContentHash.h"
#include "platform/VeskFileOperations.h"

#include <QFileInfo>

#include <algorithm>

VeskMHLVerification::VeskMHLVerification(QString folder)
    : m_folder(std::move(folder))
    , m_history(m_folder)
{
}

uint64_t VeskMHLVerification::bytesListed(const QString &folder)
{
    VeskMHLHistory history(folder);
    uint64_t total = 0;
    if (history.read(nullptr))
        for (const auto &[path, hash] : history.latest())
            total += uint64_t(std::max<int64_t>(hash.size, 0));
    return total;
}

bool VeskMHLVerification::run(bool record, const Progress &progress, QString *error)
{
    m_files.clear();
    m_stopped = false;
    if (!m_history.read(error))
        return false;
    const std::map<QString, VeskMHLHistory::Hash> listed = m_history.latest();
    int64_t total = 0;
    for (const auto &[path, hash] : listed) {
        m_files.push_back({ path, Status::Unchecked, hash.xxh128, {}, {} });
        total += hash.size;
    }
    int64_t done = 0;
    for (File &file : m_files) {
        if (m_stopped)
            break;
        check(file, done, total, progress);
    }
    return !record || this->record(error);
}

void VeskMHLVerification::check(File &file, int64_t &done, int64_t total, const Progress &progress)
{
    if (!VeskMHLHistory::isSafePath(file.path)) {
        file.reason = QStringLiteral("the path leads out of the folder");
        return;
    }
    if (file.recorded.isEmpty()) {
        file.reason = QStringLiteral("no xxh128 is recorded");
        return;
    }
    const QString path = m_folder + QLatin1Char('/') + file.path;
    if (!VeskFileOperations::exists(path)) {
        file.status = Status::Missing;
        return;
    }
    const int64_t before = done;
    const auto going = [&](int64_t bytes) {
        done = before + bytes;
        m_stopped = progress && !progress(done, std::max(total, done));
        return !m_stopped;
    };
    const std::optional<QString> found = VeskContentHash::ofFile(path, true, going, &file.reason);
    if (m_stopped)
        return;
    if (!found) {
        file.status = Status::Unreadable;
        return;
    }
    file.found = *found;
    file.status = *found == file.recorded ? Status::Matches : Status::Differs;
}

bool VeskMHLVerification::record(QString *error)
{
    std::vector<VeskMHLHistory::Hash> hashes;
    for (const File &file : m_files) {
        if (file.status != Status::Matches && file.status != Status::Differs)
            continue;
        const QFileInfo info(m_folder + QLatin1Char('/') + file.path);
        hashes.push_back({ file.path, info.size(), info.lastModified(), file.found,
            file.status == Status::Matches ? QStringLiteral("verified") : QStringLiteral("failed") });
    }
    return m_history.append(QStringLiteral("in-place"), hashes, error);
}

bool VeskMHLVerification::passed() const
{
    return !m_stopped && chainProblems().isEmpty()
        && std::all_of(m_files.cbegin(), m_files.cend(), [](const File &file) {
               return file.status == Status::Matches || (file.status == Status::Unchecked && file.recorded.isEmpty());
           });
}

QStringList VeskMHLVerification::problemLines() const
{
    QStringList lines;
    for (const QString &problem : chainProblems())
        lines << QStringLiteral("chain: %1").arg(problem);
    for (const File &file : m_files) {
        switch (file.status) {
        case Status::Matches: break;
        case Status::Missing: lines << QStringLiteral("missing: %1").arg(file.path); break;
        case Status::Differs:
            lines
                << QStringLiteral("differs: %1 (recorded xxh128 %2, now %3)").arg(file.path, file.recorded, file.found);
            break;
        case Status::Unreadable:
        case Status::Unchecked:
            if (!file.reason.isEmpty())
                lines << QStringLiteral("not checked: %1 (%2)").arg(file.path, file.reason);
            break;
        }
    }
    return lines;
}

QString VeskMHLVerification::summary() const
{
    const auto count = [this](Status status) {
        return std::count_if(
            m_files.cbegin(), m_files.cend(), [status](const File &file) { return file.status == status; });
    };
    return QStringLiteral("%1 files listed: %2 match, %3 differ, %4 missing, %5 not checked%6%7")
        .arg(m_files.size())
        .arg(count(Status::Matches))
        .arg(count(Status::Differs))
        .arg(count(Status::Missing))
        .arg(count(Status::Unreadable) + count(Status::Unchecked))
        .arg(chainProblems().isEmpty() ? QString() : QStringLiteral("; the chain is broken"))
        .arg(m_stopped ? QStringLiteral("; stopped") : QString());
}
