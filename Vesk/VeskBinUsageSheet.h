#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class VeskCore;

/// The bin usage sheet of the database window: for each bin dropped since the scan,
/// how many of its media references the scanned folders hold and their size, then
/// the same for all of them together; the offline references of the chosen row below.
class VeskBinUsageSheet : public QDialog {
    Q_OBJECT
public:
    VeskBinUsageSheet(VeskCore &core, QWidget *databaseWindow);

    /// Reads the dropped bins again, fills the table and opens the sheet.
    void showBinUsage();
    QTableWidget *table() const { return m_table; }

private:
    void fill();
    void showOffline();

    VeskCore &m_core;
    QLabel *m_note;
    QTableWidget *m_table;
    QPlainTextEdit *m_offline;
    std::vector<QStringList> m_offlineOfRow;
};
