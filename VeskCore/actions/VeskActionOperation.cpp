#include "actions/VeskActionOperation.h"

#include "actions/VeskActionSource.h"
#include "actions/VeskMHLRecorder.h"
#include "actions/VeskMHLVerification.h"
#include "actions/VeskQuarantine.h"

#include "base/VeskNSLog.h"
#include "platform/VeskContentHash.h"
#include "platform/VeskDirectory.h"
#include "platform/VeskFileOperations.h"
#include "report/VeskAlert.h"
#include "report/VeskUtilities.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>

namespace {

const QString kOverwriteQuestion = QStringLiteral("File exists at destination.\nOverwrite?");
const QString kCopyQuestion = QStringLiteral("File can not be moved.\nCopy?");
const QString kRemoveQuestion = QStringLiteral("File can not be moved to the Trash.\nTry to delete permanently?");
const QString kNoExtensionFolder = QStringLiteral("_NOEXT_TYPE");
constexpr int kWithdrawn = -1;
// Files journaled with one sync before they are renamed into quarantine.
constexpr size_t kQuarantineBatch = 64;

enum CopyAnswer { SkipAll = 1000, No, Yes, YesToAllCopies, Cancel };

std::function<void()> &finishSound()
{
    static std::function<void()> sound;
    return sound;
}

// The short date and a time with seconds but without the zone.
QString defaultFormat()
{
    const QLocale locale;
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + time.trimmed();
}

// Project names come from the media files themselves: never let one climb out of the
// destination or split into several folders.
QString safeFolderName(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QChar(u'\0'), QLatin1Char('_'));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("_");
    return name;
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString errorLine(long code, const QString &description)
{
    return QStringLiteral(":: ERROR :: %1 :: %2 \n").arg(code).arg(description);
}

} // namespace

VeskActionOperation::VeskActionOperation(VeskActionProperties properties)
    : m_properties(std::move(properties))
    , m_validPath(QStringLiteral("Invalid path"))
    , m_formatter(defaultFormat())
{
    appendLog(timestamp() + QStringLiteral(" :: VeskAction init \n"));
    appendLog(QStringLiteral(":: Action :: %1 \n").arg(m_properties.Action));
    if (m_properties.items) {
        m_itemsTotal = m_properties.items->size();
        appendLog(QStringLiteral(":: %1 :: items \n").arg(m_itemsTotal));
        for (const VeskItemRef &item : *m_properties.items)
            m_bytesTotal = m_bytesTotal.value_or(0) + item->DB_filesize().value_or(0);
        const bool writesNowhere
            = m_properties.Action == QLatin1String("Delete") || m_properties.Action == QLatin1String("Quarantine");
        if (!writesNowhere && m_properties.Destination) {
            const QString &destination = *m_properties.Destination;
            m_targetURL
                = destination.contains(QLatin1Char('~')) ? VeskActionProperties::expandTilde(destination) : destination;
        }
        if (m_targetURL) {
            if (VeskDirectory::isFolder(*m_targetURL))
                m_validPath = *m_properties.Destination;
            appendLog(QStringLiteral(":: destination :: %1 \n").arg(m_validPath));
            if (m_properties.Write_mhl && m_properties.Action != QLatin1String("Verify"))
                m_history = std::make_unique<VeskMHLRecorder>(*m_targetURL);
        }
        // A verification has one item, the folder, and reads what its history lists.
        if (m_targetURL && m_properties.Action == QLatin1String("Verify")) {
            m_itemsTotal = 1;
            m_bytesTotal = VeskMHLVerification::bytesListed(*m_targetURL);
        }
    }
    if (!m_properties.Sets.isEmpty()) {
        m_itemsTotal = uint64_t(m_properties.Sets.size());
        appendLog(QStringLiteral(":: %1 :: quarantine sets \n").arg(m_itemsTotal));
    }
    appendLog(timestamp() + QStringLiteral(" :: VeskAction queued\n"));
}

VeskActionOperation::~VeskActionOperation()
{
    VESK_LOG(QStringLiteral("Operation deallocated"));
}

void VeskActionOperation::setFinishSound(std::function<void()> sound)
{
    finishSound() = std::move(sound);
}

void VeskActionOperation::main()
{
    State ready = State::Ready;
    if (!m_state.compare_exchange_strong(ready, State::Executing))
        return; // cancelled before it started: it has ended already
    // Whatever happens in the body, the operation ends, so that nobody waits forever.
    const std::unique_ptr<VeskActionOperation, void (*)(VeskActionOperation *)> ending(
        this, [](VeskActionOperation *operation) { operation->finish(); });
    appendLog(timestamp() + QStringLiteral(" :: VeskAction Execution Started\n"));
    if (!isCancelled()) {
        if (const auto listener = delegate())
            listener->VeskActionOperationWillStart(*this);
        if (m_properties.items) {
            if (m_properties.Action == QLatin1String("Delete"))
                deleteAction();
            else if (m_properties.Action == QLatin1String("Copy"))
                copyAction();
            else if (m_properties.Action == QLatin1String("Move"))
                moveAction();
            else if (m_properties.Action == QLatin1String("Quarantine"))
                quarantineAction();
            writeHistory();
        }
        if (m_properties.Action == QLatin1String("Restore") || m_properties.Action == QLatin1String("Purge"))
            quarantineSetsAction();
        if (m_properties.Action == QLatin1String("Verify"))
            verifyAction();
        if (!isCancelled())
            if (const auto listener = delegate())
                listener->VeskActionOperationDidFinished(*this);
    }
}

void VeskActionOperation::cancel()
{
    // An operation that has ended stays as it ended.
    if (isFinished() || m_cancelSeen.exchange(true))
        return;
    VeskOperation::cancel();
    appendLog(timestamp() + QStringLiteral(" :: VeskAction Cancelled\n"));
    m_question.withdraw();
    if (m_cancelObserver)
        m_cancelObserver();
    State ready = State::Ready;
    if (m_state.compare_exchange_strong(ready, State::Executing))
        finish();
}

void VeskActionOperation::finish()
{
    appendLog(timestamp() + QStringLiteral(" :: VeskAction Finished\n"));
    if (finishSound())
        finishSound()();
    // Whoever waits for the end sees it only after the end observer has run.
    if (m_endObserver)
        m_endObserver();
    m_state = State::Finished;
}

QString VeskActionOperation::actionLog() const
{
    QMutexLocker locker(&m_logLock);
    return m_actionLog;
}

void VeskActionOperation::appendLog(const QString &text)
{
    QMutexLocker locker(&m_logLock);
    m_actionLog += text;
}

QString VeskActionOperation::formatter() const
{
    QMutexLocker locker(&m_logLock);
    return m_formatter;
}

void VeskActionOperation::setFormatter(const QString &format)
{
    QMutexLocker locker(&m_logLock);
    m_formatter = format;
}

QString VeskActionOperation::timestamp() const
{
    return QLocale().toString(QDateTime::currentDateTime(), formatter());
}

int VeskActionOperation::ask(const std::function<int()> &question, int withdrawnAnswer)
{
    return m_question.ask(question, withdrawnAnswer);
}

void VeskActionOperation::showErrorDialog(const QString &description, const QString &path)
{
    const int answer
        = ask([description, path] { return int(VeskAlert::ShowDialog_with_OkDoNotShowAgain(description, path)); },
            kWithdrawn);
    if (answer != kWithdrawn)
        setShowAllErrorDialogs(answer != 0);
}

// ---- Target layout ----

QString VeskActionOperation::targetFolderForItem(const VeskDatabaseItem &item) const
{
    if (!m_targetURL || m_targetURL->isEmpty())
        return {};
    const QString path = item.DB_itemPath();
    QString folder = *m_targetURL;
    if (m_properties.Create_projects_folders)
        folder = joined(folder, safeFolderName(item.get_DB_ProjectName()));
    if (m_properties.Create_mxf_folders) {
        const QString extension = QFileInfo(path).suffix();
        folder = joined(folder, extension.isEmpty() ? kNoExtensionFolder : safeFolderName(extension.toUpper()));
    }
    if (m_properties.Keep_original_folders)
        folder = joined(folder, safeFolderName(QFileInfo(QFileInfo(path).path()).fileName()));
    return folder;
}

QString VeskActionOperation::targetFileIn(const QString &targetFolder, const QString &source)
{
    return targetFolder.isEmpty() ? QString() : joined(targetFolder, QFileInfo(source).fileName());
}

bool VeskActionOperation::areSourceAndTargetEqual(const QString &source, const QString &targetFolder)
{
    if (targetFolder.isEmpty())
        return false;
    const std::optional<VeskFileOperations::Identity> target = VeskFileOperations::identityOf(targetFolder);
    return target
        && (target == VeskFileOperations::identityOf(source)
            || target == VeskFileOperations::identityOf(QFileInfo(source).path()));
}

bool VeskActionOperation::isSameFile(const QString &source, const QString &target)
{
    const std::optional<VeskFileOperations::Identity> existing = VeskFileOperations::identityOf(target);
    return existing && existing == VeskFileOperations::identityOf(source);
}

bool VeskActionOperation::createTargetDirWithURL(const QString &targetFolder, const QString &source)
{
    if (targetFolder.isEmpty())
        return false;
    if (VeskDirectory::isFolder(targetFolder))
        return true;
    VeskFileOperations::Error error;
    if (!VeskFileOperations::makeFolder(targetFolder, &error)) {
        appendLog(QStringLiteral(":: ERROR :: %1 :: %2 \n").arg(error.description, targetFolder));
        if (!isCancelled() && ShowAllErrorDialogs())
            showErrorDialog(error.description, targetFolder);
        return false;
    }
    return copyIndexFiles(targetFolder, source);
}

// A media folder without its index is no media folder to the editing system: a new
// folder gets both files whole, or is taken away again.
bool VeskActionOperation::copyIndexFiles(const QString &targetFolder, const QString &source)
{
    const QString sourceFolder = QFileInfo(source).path();
    QStringList made;
    for (const auto &[name, line] :
        { std::pair { "msmFMID.pmr", "COPY old pmr %1" }, std::pair { "msmMMOB.mdb", "COPY old mdb %1" } }) {
        const QString from = joined(sourceFolder, QLatin1String(name));
        if (VeskFileOperations::entryAt(from).error.code == ENOENT)
            continue;
        const QString to = joined(targetFolder, QLatin1String(name));
        VESK_LOG(QString::fromLatin1(line).arg(to));
        VeskFileOperations::Error error;
        VeskFileOperations::Digest digest { m_properties.Verify_copies, {}, false };
        if (!VeskFileOperations::copyFile(from, to, {}, false, &error, &digest)) {
            appendLog(QStringLiteral(":: ERROR :: %1 :: copying %2 to %3 \n").arg(error.description, from, to));
            VESK_LOG(QStringLiteral("Error copying %1 to %2: %3").arg(from, to, error.description));
            for (const QString &copy : made)
                QFile::remove(copy);
            QDir().rmdir(targetFolder);
            return false;
        }
        made << to;
        recordWritten(to, digest.source, digest.verified);
    }
    return true;
}

bool VeskActionOperation::CheckTargetAndAskToOverwrite(const QString &target)
{
    if (!VeskFileOperations::exists(target))
        return true;
    appendLog(QStringLiteral(":: FILE EXISTS AT DESTINATION \n"));
    if (YesToAll())
        return true;
    const int answer
        = ask([target] { return VeskAlert::ShowDialog_with_NoYesYesToAll(kOverwriteQuestion, target); }, kWithdrawn);
    if (answer == VeskAlert::Third)
        setYesToAll(true);
    if (answer == VeskAlert::Second || answer == VeskAlert::Third) {
        appendLog(QStringLiteral(":: OVERWRITING \n"));
        return true;
    }
    if (answer == VeskAlert::First)
        appendLog(QStringLiteral(":: SKIPPING \n"));
    return false;
}

bool VeskActionOperation::areURLsOnTheSameVolume(const QString &source, const QString &targetFolder)
{
    std::optional<uint64_t> volumes[2];
    const QString paths[2] = { source, targetFolder };
    for (int i = 0; i < 2; ++i) {
        VeskFileOperations::Error error;
        volumes[i] = VeskFileOperations::volumeOf(paths[i], &error);
        if (!volumes[i]) {
            appendLog(errorLine(error.code, error.description));
            VESK_LOG(QStringLiteral("%1 :: %2\n").arg(error.code).arg(error.description));
        }
    }
    return volumes[0] && volumes[1] && *volumes[0] == *volumes[1];
}

bool VeskActionOperation::copyFileCallback(int64_t bytesCopied)
{
    if (isCancelled())
        return false;
    setBWritten(bytesCopied);
    return true;
}

// ---- Items ----

bool VeskActionOperation::startItem()
{
    if (isCancelled())
        return false;
    ++m_itemsDone;
    if (!isCancelled())
        if (const auto listener = delegate())
            listener->VeskActionOperationStatusUpdate(*this);
    return true;
}

void VeskActionOperation::itemDealtWith(const VeskDatabaseItem &item, Outcome outcome)
{
    m_bytesDone += item.DB_filesize().value_or(0);
    setBWritten(0);
    ++(outcome == Outcome::Done ? m_doneCount : outcome == Outcome::Skipped ? m_skippedCount : m_failedCount);
}

QString VeskActionOperation::doneVerb() const
{
    static const std::map<QString, QString> verbs = { { QStringLiteral("Move"), QStringLiteral("moved") },
        { QStringLiteral("Delete"), QStringLiteral("deleted") },
        { QStringLiteral("Quarantine"), QStringLiteral("quarantined") },
        { QStringLiteral("Restore"), QStringLiteral("restored") },
        { QStringLiteral("Purge"), QStringLiteral("purged") } };
    const auto found = verbs.find(m_properties.Action);
    return found == verbs.end() ? QStringLiteral("copied") : found->second;
}

QString VeskActionOperation::summary() const
{
    return QStringLiteral("%1 %2, skipped %3, failed %4")
        .arg(doneVerb())
        .arg(m_doneCount.load())
        .arg(m_skippedCount.load())
        .arg(m_failedCount.load());
}

void VeskActionOperation::markGone(VeskDatabaseItem &item)
{
    item.setDB_FileExists(false);
    item.setDB_isValid_initial(false);
    item.setDB_isValid(false);
}

VeskActionOperation::Outcome VeskActionOperation::refuse(const QString &reason)
{
    appendLog(timestamp() + QStringLiteral(" :: ERROR :: %1 \n").arg(reason));
    VESK_LOG(reason);
    return Outcome::Failed;
}

bool VeskActionOperation::isWrittenBefore(const QString &target, const QString &source)
{
    const std::optional<VeskFileOperations::Identity> existing = VeskFileOperations::identityOf(target);
    if (!existing)
        return false;
    const auto found = m_written.find({ existing->device, existing->inode });
    if (found == m_written.end())
        return false;
    refuse(QStringLiteral("%1 was written from %2 earlier in this action; %3 is not written over it")
               .arg(target, found->second, source));
    return true;
}

void VeskActionOperation::rememberWritten(const QString &target, const QString &source)
{
    if (const std::optional<VeskFileOperations::Identity> written = VeskFileOperations::identityOf(target))
        m_written[{ written->device, written->inode }] = source;
}

void VeskActionOperation::removeStaleTemporaries(const QString &folder)
{
    if (!m_clearedFolders.insert(folder).second)
        return;
    for (const QString &stale : VeskFileOperations::removeStaleTemporaries(folder)) {
        appendLog(QStringLiteral(":: removed the stale temporary file %1 \n").arg(stale));
        VESK_LOG(QStringLiteral("Removed the stale temporary file %1").arg(stale));
    }
}

bool VeskActionOperation::copyWithLog(
    const QString &source, const QString &target, bool removeSource, const QString &failureLine)
{
    VeskFileOperations::Error error { 0, QStringLiteral("No target folder") };
    VeskFileOperations::Digest digest { m_properties.Verify_copies, {}, false };
    const bool copied = !target.isEmpty()
        && VeskFileOperations::copyFile(
            source, target, [this](int64_t bytes) { return copyFileCallback(bytes); }, removeSource, &error, &digest);
    if (!copied) {
        VESK_LOG(failureLine.arg(target));
        appendLog(timestamp() + QStringLiteral(" :: ERROR ::\n") + errorLine(error.code, error.description));
        return false;
    }
    appendLog(timestamp() + QStringLiteral(" :: DONE ::\n"));
    if (digest.verified)
        appendLog(QStringLiteral(":: verified :: xxh128 %1 \n").arg(digest.source));
    recordWritten(target, digest.source, digest.verified);
    return true;
}

// ---- ASC MHL history ----

void VeskActionOperation::recordWritten(const QString &target, const QString &xxh128, bool verified)
{
    if (m_history)
        m_history->add(target, xxh128, verified);
}

// A rename wrote no bytes to hash on the way: the target is read once to record it.
void VeskActionOperation::recordRenamed(const QString &target)
{
    if (!m_history)
        return;
    QString reason;
    const std::optional<QString> digest = VeskContentHash::ofFile(
        target, false, [this](int64_t bytes) { return copyFileCallback(bytes); }, &reason);
    if (digest)
        m_history->add(target, *digest, false);
    else if (!isCancelled())
        appendLog(QStringLiteral(":: ERROR :: %1 :: not recorded in the ASC MHL history: %2 \n").arg(target, reason));
}

// One generation for all this action wrote, also when it was stopped part way.
void VeskActionOperation::writeHistory()
{
    if (!m_history || m_history->isEmpty())
        return;
    QString error;
    if (m_history->write(&error)) {
        appendLog(QStringLiteral(":: ASC MHL :: recorded in %1 \n").arg(m_history->historyFolder()));
        return;
    }
    appendLog(QStringLiteral(":: ERROR :: ASC MHL :: %1 \n").arg(error));
    VESK_LOG(QStringLiteral("The ASC MHL history was not written: %1").arg(error));
    ++m_failedCount;
}

// ---- Verify ----

void VeskActionOperation::verifyAction()
{
    if (!m_targetURL || !startItem())
        return;
    VeskMHLVerification verification(*m_targetURL);
    appendLog(timestamp() + QStringLiteral(" :: VERIFYING :: %1 \n").arg(*m_targetURL));
    QString error;
    const bool ran = verification.run(
        false,
        [this](int64_t done, int64_t) {
            setBWritten(int64_t(done));
            return !isCancelled();
        },
        &error);
    for (const QString &line : verification.problemLines())
        appendLog(QStringLiteral(":: ERROR :: %1 \n").arg(line));
    if (!ran)
        appendLog(QStringLiteral(":: ERROR :: %1 \n").arg(error));
    appendLog(timestamp() + QStringLiteral(" :: %1 \n").arg(verification.summary()));
    m_bytesDone += m_bytesTotal.value_or(0);
    setBWritten(0);
    ++(ran && verification.passed() ? m_doneCount : m_failedCount);
}

// ---- Copy ----

void VeskActionOperation::copyAction()
{
    if (!m_properties.items)
        return;
    for (const VeskItemRef &item : *m_properties.items) {
        if (!startItem())
            return;
        const Outcome outcome = copyOneItem(*item);
        if (isCancelled())
            return;
        itemDealtWith(*item, outcome);
    }
}

VeskActionOperation::Outcome VeskActionOperation::copyOneItem(const VeskDatabaseItem &item)
{
    const VeskActionSource checked = VeskActionSource::inspect(item);
    const QString &source = checked.path();
    if (const QString refusal = checked.refusal(m_properties.Action); !refusal.isEmpty())
        return refuse(refusal);
    const QString folder = targetFolderForItem(item);
    if (m_properties.Keep_original_folders)
        VESK_LOG(QStringLiteral("Target path: %1").arg(QUrl::fromLocalFile(folder).toString()));
    if (areSourceAndTargetEqual(source, folder)) {
        appendLog(timestamp() + QStringLiteral(" :: SKIPPING - the same src&dst :: copy :: %1 \n").arg(source));
        return Outcome::Skipped;
    }
    if (!createTargetDirWithURL(folder, source))
        return Outcome::Failed;
    removeStaleTemporaries(folder);
    const QString target = targetFileIn(folder, source);
    appendLog(timestamp() + QStringLiteral(" :: STARTING ::\n:: copy\nfrom :: %1 \nto :: %2\n").arg(source, target));
    if (isWrittenBefore(target, source))
        return Outcome::Failed;
    if (isSameFile(source, target)) {
        appendLog(QStringLiteral(":: SKIPPING - source and target are the same file \n"));
        return Outcome::Skipped;
    }
    if (!CheckTargetAndAskToOverwrite(target))
        return Outcome::Skipped;
    if (!copyWithLog(source, target, false, QStringLiteral("Error copying to %1")))
        return Outcome::Failed;
    rememberWritten(target, source);
    return Outcome::Done;
}

// ---- Move ----

void VeskActionOperation::moveAction()
{
    if (!m_properties.items)
        return;
    MoveChoices choices;
    for (const VeskItemRef &item : *m_properties.items) {
        if (!startItem())
            return;
        const Outcome outcome = moveOneItem(*item, choices);
        if (outcome == Outcome::Done && !VeskFileOperations::exists(item->DB_itemPath()))
            markGone(*item);
        if (isCancelled())
            return;
        itemDealtWith(*item, outcome);
    }
}

VeskActionOperation::Outcome VeskActionOperation::moveOneItem(const VeskDatabaseItem &item, MoveChoices &choices)
{
    const VeskActionSource checked = VeskActionSource::inspect(item);
    const QString &source = checked.path();
    if (const QString refusal = checked.refusal(m_properties.Action); !refusal.isEmpty())
        return refuse(refusal);
    const QString folder = targetFolderForItem(item);
    if (areSourceAndTargetEqual(source, folder)) {
        appendLog(timestamp() + QStringLiteral(" :: SKIPPING - the same src&dst :: move :: %1 \n").arg(source));
        return Outcome::Skipped;
    }
    const bool folderOk = createTargetDirWithURL(folder, source);
    if (folderOk)
        removeStaleTemporaries(folder);
    const bool sameVolume = areURLsOnTheSameVolume(source, folder);
    const QString target = targetFileIn(folder, source);
    appendLog(timestamp() + QStringLiteral(" :: STARTING ::\n:: move\nfrom :: %1 \nto :: %2\n").arg(source, target));
    if (isWrittenBefore(target, source))
        return Outcome::Failed;
    if (isSameFile(source, target)) {
        appendLog(QStringLiteral(":: SKIPPING - source and target are the same file \n"));
        return Outcome::Skipped;
    }
    const bool mayWrite = CheckTargetAndAskToOverwrite(target);
    Outcome outcome = Outcome::Failed;
    if (mayWrite && folderOk && VeskFileOperations::isReadable(source) && VeskFileOperations::isWritable(source)) {
        outcome = moveOrCopy(source, target, sameVolume);
    } else {
        appendLog(QStringLiteral(":: file is not moveable \n"));
        const bool copy = copyInsteadOfMove(source, choices);
        if (!mayWrite)
            return Outcome::Skipped;
        if (copy && folderOk) {
            VESK_LOG(QStringLiteral("Slow copy"));
            if (copyWithLog(source, target, false, QStringLiteral("Error moving to %1")))
                outcome = Outcome::Done;
        }
    }
    if (outcome == Outcome::Done)
        rememberWritten(target, source);
    return outcome;
}

VeskActionOperation::Outcome VeskActionOperation::moveOrCopy(
    const QString &source, const QString &target, bool sameVolume)
{
    if (sameVolume) {
        VESK_LOG(QStringLiteral("Fast Move"));
        VeskFileOperations::Error error;
        if (VeskFileOperations::moveFile(source, target, &error)) {
            recordRenamed(target);
            return Outcome::Done;
        }
        // One volume mounted at two places cannot rename from one to the other.
        if (error.code != EXDEV) {
            appendLog(errorLine(error.code, error.description));
            VESK_LOG(QStringLiteral("%1 :: %2\n").arg(error.code).arg(error.description));
            return Outcome::Failed;
        }
    }
    VESK_LOG(QStringLiteral("Slow move"));
    return copyWithLog(source, target, true, QStringLiteral("Error moving to %1")) ? Outcome::Done : Outcome::Failed;
}

bool VeskActionOperation::copyInsteadOfMove(const QString &source, MoveChoices &choices)
{
    if (choices.copyAll)
        return true;
    if (choices.skipAll)
        return false;
    const int answer = ask(
        [source] {
            return VeskAlert::ShowDialog_with_Buttons(kCopyQuestion, source,
                { QStringLiteral("Skip All"), QStringLiteral("No"), QStringLiteral("Yes"), QStringLiteral("Yes to All"),
                    QStringLiteral("Cancel") });
        },
        Cancel);
    choices.skipAll = answer == SkipAll;
    choices.copyAll = answer == YesToAllCopies;
    switch (answer) {
    case SkipAll:
    case No: appendLog(QStringLiteral(":: SKIPPING \n")); return false;
    case Yes:
    case YesToAllCopies: appendLog(QStringLiteral(":: COPYING \n")); return true;
    default: cancel(); return false;
    }
}

// ---- Delete ----

void VeskActionOperation::deleteAction()
{
    if (!m_properties.items)
        return;
    for (const VeskItemRef &item : *m_properties.items) {
        if (!startItem())
            return;
        const Outcome outcome = deleteOneItem(*item);
        itemDealtWith(*item, outcome);
    }
}

VeskActionOperation::Outcome VeskActionOperation::deleteOneItem(VeskDatabaseItem &item)
{
    setLastDelegateResponce(true);
    if (!item.DB_FileExists())
        return Outcome::Skipped;
    const VeskActionSource checked = VeskActionSource::inspect(item);
    const QString &path = checked.path();
    if (const QString refusal = checked.refusal(m_properties.Action); !refusal.isEmpty())
        return refuse(refusal);
    appendLog(timestamp() + QStringLiteral(" :: DELETING :: %1 \n").arg(path));
    VeskFileOperations::Error error;
    if (!VeskFileOperations::trashFile(path, &error)) {
        appendLog(error.description.isEmpty() ? QStringLiteral(":: ERROR :: deleting :: %1 \n").arg(path)
                                              : errorLine(error.code, error.description));
        VeskFileOperations::Error removeError;
        if (!VeskFileOperations::removeFile(
                path, [this](const QString &file) { return shouldRemoveItemAtURL(file); }, &removeError)) {
            if (!isCancelled())
                appendLog(QStringLiteral(":: ERROR :: %1 :: %2 \n").arg(removeError.description, path));
            if (ShowAllErrorDialogs())
                showErrorDialog(removeError.description, path);
            return Outcome::Failed;
        }
        if (!lastDelegateResponce()) {
            appendLog(QStringLiteral(":: SKIPPED :: %1 \n").arg(path));
            VESK_LOG(QStringLiteral("Delegate returned NO"));
            return Outcome::Failed;
        }
    }
    appendLog(QStringLiteral(":: SUCCEED ::\n"));
    if (checked.isLink())
        appendLog(QStringLiteral(":: the link was deleted; the linked file %1 stays \n").arg(checked.linkTarget()));
    markGone(item);
    return Outcome::Done;
}

bool VeskActionOperation::shouldRemoveItemAtURL(const QString &path)
{
    if (YesToAll())
        return true;
    const int answer
        = ask([path] { return VeskAlert::ShowDialog_with_NoYesYesToAll(kRemoveQuestion, path); }, kWithdrawn);
    // Only a yes lets the file go; any other end of the question keeps it.
    setLastDelegateResponce(answer == VeskAlert::Second || answer == VeskAlert::Third);
    if (answer == VeskAlert::Third)
        setYesToAll(true);
    return lastDelegateResponce();
}

// ---- Quarantine ----

void VeskActionOperation::quarantineAction()
{
    VeskQuarantine quarantine(QDateTime::currentDateTime());
    const std::vector<VeskItemRef> &items = *m_properties.items;
    for (size_t next = 0; next < items.size() && !isCancelled(); next += kQuarantineBatch) {
        const auto end = items.begin() + std::ptrdiff_t(std::min(items.size(), next + kQuarantineBatch));
        quarantine.prepare({ items.begin() + std::ptrdiff_t(next), end });
        for (auto item = items.begin() + std::ptrdiff_t(next); item != end && startItem(); ++item)
            itemDealtWith(**item, quarantineOneItem(quarantine, **item));
    }
    // Also after a cancellation: the manifests list what was moved so far.
    for (const QString &error : quarantine.finish())
        refuse(error);
    for (const QString &folder : quarantine.folders())
        appendLog(QStringLiteral(":: quarantine set :: %1 \n").arg(folder));
}

VeskActionOperation::Outcome VeskActionOperation::quarantineOneItem(VeskQuarantine &quarantine, VeskDatabaseItem &item)
{
    if (!item.DB_FileExists())
        return Outcome::Skipped;
    const VeskActionSource checked = VeskActionSource::inspect(item);
    if (const QString refusal = checked.refusal(m_properties.Action); !refusal.isEmpty())
        return refuse(refusal);
    appendLog(timestamp() + QStringLiteral(" :: QUARANTINE :: %1 \n").arg(checked.path()));
    if (QString error; !quarantine.quarantine(item, checked.path(), &error))
        return refuse(error);
    appendLog(QStringLiteral(":: SUCCEED ::\n"));
    markGone(item);
    return Outcome::Done;
}

// Restore and Purge count the files put back, or the sets removed, as done, and what
// stays in quarantine as failed.
void VeskActionOperation::quarantineSetsAction()
{
    const bool restoring = m_properties.Action == QLatin1String("Restore");
    for (const QString &folder : m_properties.Sets) {
        if (!startItem())
            return;
        const QFileInfo info(folder);
        QString error;
        std::optional<VeskQuarantineSet> set
            = VeskQuarantineSet::open(QFileInfo(info.path()).path(), info.fileName(), &error);
        if (set && restoring) {
            const VeskQuarantineSet::Restored restored = set->restore();
            for (const QString &path : restored.restored)
                appendLog(QStringLiteral(":: RESTORED :: %1 \n").arg(path));
            for (const QString &line : restored.kept)
                refuse(line);
            m_doneCount += restored.restored.size();
            m_failedCount += restored.kept.size();
        } else if (set && set->purge(&error)) {
            appendLog(timestamp() + QStringLiteral(" :: PURGED :: %1 \n").arg(folder));
            ++m_doneCount;
        } else {
            refuse(error);
            ++m_failedCount;
        }
    }
}
