#pragma once

#include "actions/VeskActionManager.h"
#include "actions/VeskActionOperation.h"
#include "report/VeskAlert.h"

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

/// Answers the alerts from a script keyed by the alert's message and records every
/// question asked. A question without a scripted answer fails the test. The actions ask
/// on the main thread only, as the tests do.
class ScriptedAlerts {
public:
    ScriptedAlerts()
    {
        m_previous = VeskAlert::setHandler([this](const VeskAlert::Request &request) { return answer(request); });
    }
    ~ScriptedAlerts() { VeskAlert::setHandler(m_previous); }

    /// Answers the message with the button of that title; a hook, when given, runs
    /// first (on the main thread, while the question is on screen).
    void on(const QString &message, const QString &button, std::function<void()> hook = {})
    {
        m_script[message] = { button, std::move(hook) };
    }
    /// Answers every error dialog ("Ok", "Do NotShow Again") with the button and keeps
    /// the path it names.
    void answerErrorsWith(const QString &button) { m_errorButton = button; }
    QStringList errorPaths() const { return m_errorPaths; }
    QStringList asked() const { return m_asked; }
    int count(const QString &message) const { return int(m_asked.count(message)); }

private:
    struct Answer {
        QString button;
        std::function<void()> hook;
    };
    int answer(const VeskAlert::Request &request)
    {
        m_asked.push_back(request.message);
        if (!m_errorButton.isEmpty() && request.buttons.contains(QStringLiteral("Do NotShow Again"))) {
            m_errorPaths.push_back(request.informativeText);
            return VeskAlert::First + int(request.buttons.indexOf(m_errorButton));
        }
        const auto found = m_script.find(request.message);
        if (found == m_script.end()) {
            ADD_FAILURE() << "unexpected alert: " << request.message.toStdString();
            return VeskAlert::First;
        }
        const Answer scripted = found->second;
        if (scripted.hook)
            scripted.hook();
        const qsizetype index = request.buttons.indexOf(scripted.button);
        EXPECT_GE(index, 0) << scripted.button.toStdString();
        return VeskAlert::First + int(index);
    }

    std::map<QString, Answer> m_script;
    QStringList m_asked;
    QStringList m_errorPaths;
    QString m_errorButton;
    VeskAlert::Handler m_previous;
};

/// The folder where this process's trash keeps its files.
QString trashFilesFolder();

/// Removes the trash, or the plain file standing in its place.
inline void clearTrash()
{
    const QString trash = QFileInfo(trashFilesFolder()).path();
    QFile::remove(trash);
    QDir(trash).removeRecursively();
}

/// A trash that cannot be used: its folder is a plain file.
inline void breakTrash()
{
    clearTrash();
    const QString trash = QFileInfo(trashFilesFolder()).path();
    QDir().mkpath(QFileInfo(trash).path());
    QFile file(trash);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

inline const QString kOverwrite = QStringLiteral("File exists at destination.\nOverwrite?");
inline const QString kCopyInstead = QStringLiteral("File can not be moved.\nCopy?");
inline const QString kRemoveForGood = QStringLiteral("File can not be moved to the Trash.\nTry to delete permanently?");

inline VeskItemRef makeItem(const QString &path, const QString &project = QStringLiteral("Promo"))
{
    auto item = std::make_shared<VeskDatabaseItem>();
    item->setDB_itemPath(path);
    item->setDB_filesize(uint64_t(QFileInfo(path).size()));
    item->setDB_ProjectName(project);
    item->setDB_FileExists(QFileInfo::exists(path));
    return item;
}

inline VeskActionProperties properties(
    const QString &action, std::vector<VeskItemRef> items, const QString &destination = QString())
{
    VeskActionProperties p;
    p.Action = action;
    p.items = std::move(items);
    p.Destination = destination;
    return p;
}

/// Runs the operation on an action queue of its own while the main thread serves the
/// questions.
inline void runToEnd(const std::shared_ptr<VeskActionOperation> &operation)
{
    VeskOperationQueue queue(1);
    queue.addOperation(operation);
    queue.waitUntilAllOperationsAreFinished();
}

/// Timestamps of the log as a fixed "T", so that tests can compare whole lines.
inline std::shared_ptr<VeskActionOperation> makeOperation(const VeskActionProperties &p)
{
    auto operation = std::make_shared<VeskActionOperation>(p);
    operation->setFormatter(QStringLiteral("'T'"));
    return operation;
}

inline QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    return file.open(QIODevice::ReadOnly) && hash.addData(&file) ? hash.result() : QByteArray();
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
