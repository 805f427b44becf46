#pragma once

#include "report/ExportMenuTexts.h"

#include <QMenu>
#include <QPointer>

#include <functional>

class VeskStoreTableView;

/// The export pop-up of a table: semicolon- or comma-separated text or an HTML page
/// saved where the user chooses, or the page opened at once in the browser. An export
/// shows the table as it is: its columns in their current order, hidden ones
/// included, and its rows in their current order.
class ExportMenu : public QMenu {
    Q_OBJECT
public:
    enum Tag { ViewAsHtml = 0, MacCsv = 1, WindowsCsv = 2, Html = 3 };
    /// Asks where to save a file of the type ("csv", "html"); empty when cancelled.
    using SaveChooser = std::function<QString(QWidget *parent, const QString &fileType)>;
    /// Opens a file with the user's default application for it.
    using Opener = std::function<void(const QString &path)>;

    ExportMenu(VeskStoreTableView *tableView, const ExportMenuProtocol *stringSource, QWidget *parent = nullptr);

    void onMenuClick(QAction *item);
    /// What the export reads of the table now.
    ExportTable exportTable() const;
    QString genCsv(const QString &separator) const;
    QString genHtml() const;
    /// Asks where to save and writes the text there in UTF-8.
    void saveFile(const QString &fileType, const QString &text);
    /// Writes the page into the temporary folder and opens it; returns its path.
    QString viewAsHtml(const QString &html) const;

    VeskStoreTableView *tableView() const;
    void setTableView(VeskStoreTableView *table);
    const ExportMenuProtocol *stringSource() const { return m_stringSource; }
    void setStringSource(const ExportMenuProtocol *source) { m_stringSource = source; }

    static SaveChooser setSaveChooser(SaveChooser chooser);
    static Opener setOpener(Opener opener);
    /// Writes the whole file at once, replacing what was there; false on failure.
    static bool writeText(const QString &path, const QString &text, QString *error = nullptr);

private:
    void addItem(const QString &title, Tag tag);

    QPointer<VeskStoreTableView> m_tableView;
    const ExportMenuProtocol *m_stringSource;
};
