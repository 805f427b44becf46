#include "ExportMenu.h"

#include "VeskStoreTableView.h"

#include "base/VeskNSLog.h"
#include "report/VeskAlert.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QSaveFile>
#include <QUrl>

namespace {

ExportMenu::SaveChooser &installedChooser()
{
    static ExportMenu::SaveChooser chooser;
    return chooser;
}

ExportMenu::Opener &installedOpener()
{
    static ExportMenu::Opener opener;
    return opener;
}

QString runSavePanel(QWidget *parent, const QString &fileType)
{
    QFileDialog panel(parent, QObject::tr("Choose the path to save"), QDir::homePath());
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setAcceptMode(QFileDialog::AcceptSave);
    panel.setFileMode(QFileDialog::AnyFile);
    panel.setNameFilter(QStringLiteral("%1 (*.%2)").arg(fileType.toUpper(), fileType));
    panel.setDefaultSuffix(fileType);
    panel.setLabelText(QFileDialog::FileName, QObject::tr("Save as:"));
    panel.selectFile(QStringLiteral("export.") + fileType);
    panel.setWindowModality(Qt::WindowModal);
    if (panel.exec() != QDialog::Accepted || panel.selectedFiles().isEmpty())
        return {};
    return panel.selectedFiles().constFirst();
}

// Only the one type may be written: another extension gets the right one added.
QString withFileType(const QString &path, const QString &fileType)
{
    if (path.isEmpty() || QFileInfo(path).suffix().compare(fileType, Qt::CaseInsensitive) == 0)
        return path;
    return path + QLatin1Char('.') + fileType;
}

} // namespace

ExportMenu::ExportMenu(VeskStoreTableView *tableView, const ExportMenuProtocol *stringSource, QWidget *parent)
    : QMenu(parent)
    , m_tableView(tableView)
    , m_stringSource(stringSource)
{
    setTitle(tr("Export"));
    addItem(QStringLiteral("Export as Mac CSV / Semicolon-Separated"), MacCsv);
    addItem(QStringLiteral("Export as Windows CSV / Comma-Separated"), WindowsCsv);
    addItem(QStringLiteral("Export as Html"), Html);
    addItem(QStringLiteral("View as Html"), ViewAsHtml);
    connect(this, &QMenu::triggered, this, &ExportMenu::onMenuClick);
}

VeskStoreTableView *ExportMenu::tableView() const
{
    return m_tableView;
}

void ExportMenu::setTableView(VeskStoreTableView *table)
{
    m_tableView = table;
}

void ExportMenu::addItem(const QString &title, Tag tag)
{
    QAction *item = addAction(title);
    item->setData(int(tag));
}

void ExportMenu::onMenuClick(QAction *item)
{
    const int tag = item->data().toInt();
    VESK_LOG(QStringLiteral("click: %1").arg(tag));
    if (!m_tableView || !m_stringSource)
        return;
    switch (tag) {
    case MacCsv: saveFile(QStringLiteral("csv"), genCsv(QStringLiteral(";"))); break;
    case WindowsCsv: saveFile(QStringLiteral("csv"), genCsv(QStringLiteral(","))); break;
    case Html: saveFile(QStringLiteral("html"), genHtml()); break;
    case ViewAsHtml: viewAsHtml(genHtml()); break;
    default: break;
    }
}

// Columns in the order the user arranged them; hidden columns still count.
ExportTable ExportMenu::exportTable() const
{
    ExportTable table;
    if (!m_tableView)
        return table;
    const VeskTableModel *model = m_tableView->tableModel();
    const QHeaderView *header = m_tableView->horizontalHeader();
    table.identifier = model->tableId();
    table.windowTitle = m_tableView->window()->windowTitle();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        table.columnIds.push_back(model->columns()[size_t(logical)].identifier);
        table.columnTitles.push_back(model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    table.rowCount = uint64_t(model->rowCount());
    return table;
}

QString ExportMenu::genCsv(const QString &separator) const
{
    return ExportMenuTexts::genCsv(exportTable(), *m_stringSource, separator);
}

QString ExportMenu::genHtml() const
{
    return ExportMenuTexts::genHtml(exportTable(), *m_stringSource);
}

bool ExportMenu::writeText(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    // A write cut short by a full disk returns less than was given, not an error.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.errorString();
    return written;
}

// A save that fails is said so: the user would otherwise look for a file that is not there.
void ExportMenu::saveFile(const QString &fileType, const QString &text)
{
    QWidget *window = m_tableView ? m_tableView->window() : nullptr;
    const QString chosen = installedChooser() ? installedChooser()(window, fileType) : runSavePanel(window, fileType);
    const QString path = withFileType(chosen, fileType);
    if (path.isEmpty())
        return;
    QString error;
    if (!writeText(path, text, &error)) {
        VESK_LOG(QStringLiteral("Export not written to %1: %2").arg(path, error));
        VeskAlert::ShowDialog_with_errorName(
            QStringLiteral("Export not saved"), QStringLiteral("%1\n%2").arg(path, error));
    }
}

QString ExportMenu::viewAsHtml(const QString &html) const
{
    const QString path
        = QDir(QDir::tempPath()).filePath(ExportMenuTexts::viewAsHtmlFileName(QDateTime::currentDateTime()));
    QString error;
    if (!writeText(path, html, &error)) {
        VESK_LOG(QStringLiteral("Export not written to %1: %2").arg(path, error));
        return {};
    }
    if (installedOpener())
        installedOpener()(path);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    return path;
}

ExportMenu::SaveChooser ExportMenu::setSaveChooser(SaveChooser chooser)
{
    std::swap(installedChooser(), chooser);
    return chooser;
}

ExportMenu::Opener ExportMenu::setOpener(Opener opener)
{
    std::swap(installedOpener(), opener);
    return opener;
}
