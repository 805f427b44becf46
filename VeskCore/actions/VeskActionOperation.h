#pragma once

#include "actions/VeskActionOperationDelegate.h"
#include "actions/VeskActionProperties.h"
#include "actions/VeskActionQuestion.h"
#include "platform/VeskOperationQueue.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

class VeskQuarantine;

/// One file action (copy, move, delete or quarantine of a fixed list of items, or the
/// restore or purge of quarantine sets) run on the action
/// queue's worker. It keeps its own timestamped log, counts its progress where other
/// threads may read it at any time, asks the user on the main thread and can be
/// cancelled from any thread: before it starts, between items, or during the copy of
/// a file.
class VeskMHLRecorder;

class VeskActionOperation : public VeskOperation {
public:
    explicit VeskActionOperation(VeskActionProperties properties);
    ~VeskActionOperation() override;

    void main() override;
    /// Marks the operation cancelled, logs it, withdraws an open question and tells
    /// the cancel observer. An operation that has not started ends here.
    void cancel() override;

    bool isReady() const { return m_state == State::Ready; }
    bool isExecuting() const { return m_state == State::Executing; }
    bool isFinished() const { return m_state == State::Finished; }

    // Progress and description; every read is atomic.
    uint64_t BytesDone() const { return m_bytesDone; }
    int64_t bWritten() const { return m_bWritten; }
    void setBWritten(int64_t value) { m_bWritten = value; }
    std::optional<uint64_t> BytesTotal() const { return m_bytesTotal; }
    uint64_t itemsTotal() const { return m_itemsTotal; }
    uint64_t itemsDone() const { return m_itemsDone; }
    /// How the items dealt with so far ended: done, skipped (the user's "No" to an
    /// overwrite, a source that is its own target, a missing file to delete) or failed.
    uint64_t doneCount() const { return m_doneCount; }
    uint64_t skippedCount() const { return m_skippedCount; }
    uint64_t failedCount() const { return m_failedCount; }
    /// "copied 12, skipped 2, failed 1"; "restored" and "failed" count files.
    QString summary() const;
    /// What a done item of this action was: "copied", "moved", "deleted", "quarantined"...
    QString doneVerb() const;
    /// The destination folder; none for Delete and Quarantine.
    const std::optional<QString> &targetURL() const { return m_targetURL; }
    /// "Invalid path", or the destination when it is an existing folder.
    const QString &validPath() const { return m_validPath; }
    const VeskActionProperties &Action_Properties() const { return m_properties; }
    QString actionLog() const;

    // Answers that last for the whole operation.
    bool YesToAll() const { return m_yesToAll; }
    void setYesToAll(bool value) { m_yesToAll = value; }
    bool ShowAllErrorDialogs() const { return m_showAllErrorDialogs; }
    void setShowAllErrorDialogs(bool value) { m_showAllErrorDialogs = value; }
    bool lastDelegateResponce() const { return m_lastDelegateResponce; }
    void setLastDelegateResponce(bool value) { m_lastDelegateResponce = value; }

    /// Held weakly; set before the operation is queued.
    void setDelegate(std::weak_ptr<VeskActionOperationDelegate> delegate) { m_delegate = std::move(delegate); }
    std::shared_ptr<VeskActionOperationDelegate> delegate() const { return m_delegate.lock(); }
    /// The date and time format of the log's timestamps (the locale's short date and
    /// medium time by default).
    QString formatter() const;
    void setFormatter(const QString &format);

    /// Called on the cancelling thread when the operation is first cancelled, and on
    /// the ending thread when the operation ends. Set before the operation is queued.
    void setCancelObserver(std::function<void()> observer) { m_cancelObserver = std::move(observer); }
    void setEndObserver(std::function<void()> observer) { m_endObserver = std::move(observer); }
    /// The sound every action plays when it ends; the application installs it.
    static void setFinishSound(std::function<void()> sound);

    // Steps of the target layout shared by copy and move.
    /// The folder an item goes to: destination, then project, file type and source
    /// folder as the properties ask.
    QString targetFolderForItem(const VeskDatabaseItem &item) const;
    /// The target file: the source's name in the target folder; empty without a folder.
    static QString targetFileIn(const QString &targetFolder, const QString &source);
    /// Whether the target folder is the source's own folder (or the source itself),
    /// however it is reached.
    static bool areSourceAndTargetEqual(const QString &source, const QString &targetFolder);
    /// Whether an existing target is the very file the source is.
    static bool isSameFile(const QString &source, const QString &target);
    /// Makes the folder; a folder made now receives the source folder's media index
    /// and media database, each through a temporary file. False when the folder cannot
    /// be made, or when an index or database copy failed (the new folder is then
    /// removed again).
    bool createTargetDirWithURL(const QString &targetFolder, const QString &source);
    bool CheckTargetAndAskToOverwrite(const QString &target);
    bool areURLsOnTheSameVolume(const QString &source, const QString &targetFolder);
    /// The permission asked before a file is removed for good.
    bool shouldRemoveItemAtURL(const QString &path);
    /// Told the bytes of the current file copied so far; false stops the copy.
    virtual bool copyFileCallback(int64_t bytesCopied);

    void copyAction();
    void moveAction();
    void deleteAction();
    void quarantineAction();
    /// Restore or Purge of the properties' quarantine sets.
    void quarantineSetsAction();
    /// Checks the destination against its ASC MHL history and logs the result.
    void verifyAction();

private:
    enum class State { Ready, Executing, Finished };
    struct MoveChoices {
        bool copyAll = false;
        bool skipAll = false;
    };
    enum class Outcome { Done, Skipped, Failed };

    void appendLog(const QString &text);
    QString timestamp() const;
    bool startItem();
    void itemDealtWith(const VeskDatabaseItem &item, Outcome outcome);
    Outcome copyOneItem(const VeskDatabaseItem &item);
    Outcome moveOneItem(const VeskDatabaseItem &item, MoveChoices &choices);
    Outcome moveOrCopy(const QString &source, const QString &target, bool sameVolume);
    bool copyInsteadOfMove(const QString &source, MoveChoices &choices);
    bool copyWithLog(const QString &source, const QString &target, bool removeSource, const QString &failureLine);
    Outcome deleteOneItem(VeskDatabaseItem &item);
    Outcome quarantineOneItem(VeskQuarantine &quarantine, VeskDatabaseItem &item);
    Outcome refuse(const QString &reason);
    /// A target written by an earlier item of this action is never written again.
    bool isWrittenBefore(const QString &target, const QString &source);
    void rememberWritten(const QString &target, const QString &source);
    void removeStaleTemporaries(const QString &folder);
    bool copyIndexFiles(const QString &targetFolder, const QString &source);
    void finish();
    void recordWritten(const QString &target, const QString &xxh128, bool verified);
    void recordRenamed(const QString &target);
    void writeHistory();
    int ask(const std::function<int()> &question, int withdrawnAnswer);
    void showErrorDialog(const QString &description, const QString &path);
    static void markGone(VeskDatabaseItem &item);

    const VeskActionProperties m_properties;
    std::atomic<State> m_state { State::Ready };
    std::atomic<bool> m_cancelSeen { false };
    std::atomic<bool> m_yesToAll { false };
    std::atomic<bool> m_showAllErrorDialogs { true };
    std::atomic<bool> m_lastDelegateResponce { false };
    std::atomic<uint64_t> m_bytesDone { 0 };
    std::atomic<int64_t> m_bWritten { 0 };
    std::atomic<uint64_t> m_itemsDone { 0 };
    std::atomic<uint64_t> m_doneCount { 0 };
    std::atomic<uint64_t> m_skippedCount { 0 };
    std::atomic<uint64_t> m_failedCount { 0 };
    // Worker only: the files this action wrote, by identity, with their sources, and
    // the folders already cleared of stale temporary files.
    std::map<std::pair<uint64_t, uint64_t>, QString> m_written;
    std::set<QString> m_clearedFolders;
    uint64_t m_itemsTotal = 0;
    std::optional<uint64_t> m_bytesTotal;
    std::optional<QString> m_targetURL;
    QString m_validPath;
    // What this action wrote, for the destination's ASC MHL history; none when off.
    std::unique_ptr<VeskMHLRecorder> m_history;

    std::weak_ptr<VeskActionOperationDelegate> m_delegate;
    std::function<void()> m_cancelObserver;
    std::function<void()> m_endObserver;
    VeskActionQuestion m_question;
    mutable QMutex m_logLock;
    QString m_actionLog;
    QString m_formatter;
};
