#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class AppDelegate;

/// Pictures of the windows for the documentation and for checking the look by eye:
/// when VESK_SCREENSHOTS names a folder, the application saves the main window during
/// the first scan, then the database window, its preview, the project summary, the
/// filter sheet and the bin usage of the volume's bins, and quits.
class VeskScreenshots : public QObject {
    Q_OBJECT
public:
    static void startIfAsked(AppDelegate &app);

private:
    VeskScreenshots(AppDelegate &app, QString folder);
    void watchScan();
    void afterScan();
    void save(QWidget *window, const QString &name) const;
    void saveScreen(const QString &name) const;
    /// Runs the steps one after another, each after the given pause.
    void runSteps(std::vector<std::pair<int, std::function<void()>>> steps);

    AppDelegate &m_app;
    const QString m_folder;
    QTimer m_poll;
    bool m_scanSaved = false;
};
