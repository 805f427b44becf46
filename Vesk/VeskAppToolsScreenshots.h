#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

class AppDelegate;
class VeskAppTools;

/// Pictures of the action set-up sheet, of the queue panel with a finished and a
/// running action, of the inspector showing a media database and of the duplicate
/// finder with the extra copies selected, taken after the
/// other screenshots over the scanned volume. Calls done when it has finished.
class VeskAppToolsScreenshots : public QObject {
    Q_OBJECT
public:
    static void run(AppDelegate &app, const QString &folder, std::function<void()> done);

private:
    VeskAppToolsScreenshots(AppDelegate &app, QString folder, std::function<void()> done);
    void start();
    void showSheet();
    void queueActions();
    void inspectDatabase();
    void findDuplicates();
    void finish();
    /// Runs the step once the condition holds, checking every tenth of a second.
    void when(std::function<bool()> condition, std::function<void()> step);
    void saveScreen(const QString &name) const;

    AppDelegate &m_app;
    VeskAppTools *m_tools;
    const QString m_folder;
    std::function<void()> m_done;
    QTemporaryDir m_targets;
};
