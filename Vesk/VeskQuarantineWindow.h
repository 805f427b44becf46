#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;
class VeskActionManager;
class VeskCore;

/// The quarantine sets on the volumes of the scanned media, with Restore and Purge
/// queued as actions. Purge asks first.
class VeskQuarantineWindow : public QWidget {
    Q_OBJECT
public:
    VeskQuarantineWindow(VeskCore &core, VeskActionManager &actions, QWidget *parent = nullptr);

    /// Reads the sets again and shows the window.
    void showWindow();
    /// Reads the sets of the volumes the store's items lie on.
    void reload();
    QTableWidget *table() const { return m_table; }

private:
    /// The folders of the selected sets.
    QStringList selectedSets() const;
    void queue(const QString &action);
    void purge();

    VeskCore &m_core;
    VeskActionManager &m_actions;
    QTableWidget *m_table = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_purge = nullptr;
};
