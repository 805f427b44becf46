#include "CliRows.h"

#include "model/VeskColumns.h"
#include "model/VeskCore.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString kReferenced = QStringLiteral("referenced");

const std::vector<VeskColumn> &columnsOf(CliRows::Table table)
{
    return table == CliRows::Table::Media ? VeskColumns::databaseColumns() : VeskColumns::projectSummaryColumns();
}

// One value as JSON text: the document writer takes only arrays and objects.
QString jsonText(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QJsonValue textValue(const std::optional<QString> &text)
{
    return text && !text->isEmpty() ? QJsonValue(*text) : QJsonValue();
}

// Unknown where the folder's index or database could not be read completely.
QJsonValue referenced(const VeskDatabaseItem &item)
{
    return item.DB_referenceState() == VeskDatabaseItem::ReferenceState::Known ? QJsonValue(item.DB_isReferenced())
                                                                               : QJsonValue();
}

QJsonValue mediaValue(const VeskDatabaseItem &item, VeskColumnID column)
{
    switch (column) {
    case VeskColumnID::Size:
        return item.DB_FileExists() ? QJsonValue(qint64(item.DB_filesize().value_or(0))) : QJsonValue();
    case VeskColumnID::Date: {
        const QDateTime date = item.DB_Date();
        return date.isValid() ? QJsonValue(date.toUTC().toString(Qt::ISODate)) : QJsonValue();
    }
    case VeskColumnID::Bits: return item.DB_bits() ? QJsonValue(qint64(item.DB_bits())) : QJsonValue();
    case VeskColumnID::Exists: return item.DB_FileExists();
    default: return QJsonValue::Undefined; // the display text
    }
}

} // namespace

CliRows::CliRows(const VeskCore &core, Table table, bool bytes)
    : m_core(core)
    , m_table(table)
    , m_bytes(bytes)
{
}

QStringList CliRows::mediaFieldNames()
{
    return VeskColumns::names(VeskColumns::databaseColumns()) << kReferenced;
}

QStringList CliRows::summaryFieldNames()
{
    return VeskColumns::names(VeskColumns::projectSummaryColumns());
}

QString CliRows::fieldName(const QString &nameOrAlias) const
{
    if (m_table == Table::Media && nameOrAlias.compare(kReferenced, Qt::CaseInsensitive) == 0)
        return kReferenced;
    const VeskColumn *column = VeskColumns::columnNamed(columnsOf(m_table), nameOrAlias);
    return column ? column->name : QString();
}

ExportTable CliRows::exportTable(const QStringList &fields) const
{
    const QString id = m_table == Table::Media ? VeskTableID::Database : VeskTableID::ProjectSummary;
    ExportTable table { id, QStringLiteral("Vesk"), fields, {}, m_core.numberOfRowsInTableView(id) };
    for (const QString &field : fields) {
        const VeskColumn *column = VeskColumns::columnNamed(columnsOf(m_table), field);
        table.columnTitles.push_back(column ? column->title : QStringLiteral("Referenced"));
    }
    return table;
}

QString CliRows::jsonLines(const ExportTable &table) const
{
    std::vector<std::pair<QString, const VeskColumn *>> fields; // key and column, looked up once
    for (const QString &field : table.columnIds)
        fields.emplace_back(jsonText(field) + QLatin1Char(':'), VeskColumns::columnNamed(columnsOf(m_table), field));
    QString lines;
    for (uint64_t row = 0; row < table.rowCount; ++row) {
        QString line;
        for (const auto &[key, column] : fields)
            line += (line.isEmpty() ? QStringLiteral("{") : QStringLiteral(",")) + key + jsonText(value(column, row));
        lines += line + QLatin1String("}\n");
    }
    return lines;
}

QJsonValue CliRows::value(const QString &field, uint64_t row) const
{
    return value(VeskColumns::columnNamed(columnsOf(m_table), field), row);
}

// Fields are checked names: the one that is no column of the table is referenced.
QJsonValue CliRows::value(const VeskColumn *column, uint64_t row) const
{
    if (m_table == Table::Summary) {
        const VeskProjectRef project = m_core.projectAtIndex(row);
        if (!project || !column)
            return QJsonValue();
        if (column->id == VeskColumnID::Size)
            return qint64(project->SizeValue());
        return column->id == VeskColumnID::Count ? QJsonValue(qint64(project->FilesCount())) : project->name();
    }
    const VeskItemRef item = m_core.ObjectAtIndexFiltered(row);
    if (!item)
        return QJsonValue();
    if (!column)
        return referenced(*item);
    if (column->id == VeskColumnID::UsedByBins)
        return QJsonArray::fromStringList(m_core.binUsage().names(m_core.IndexesSortedFiltered()[row]));
    const QJsonValue typed = mediaValue(*item, column->id);
    return typed.isUndefined()
        ? textValue(m_core.NSStringValueForTableColumn(VeskTableID::Database, column->identifier, row))
        : typed;
}

std::optional<QString> CliRows::NSStringValueForTableColumn(
    const QString &tableId, const QString &field, uint64_t row) const
{
    if (field == kReferenced) {
        const QJsonValue known = value(field, row);
        return known.isNull() ? QStringLiteral("Unknown")
            : known.toBool()  ? QStringLiteral("Yes")
                              : QStringLiteral("No");
    }
    const VeskColumn *column = VeskColumns::columnNamed(columnsOf(m_table), field);
    if (!column)
        return std::nullopt;
    if (m_bytes && column->id == VeskColumnID::Size) {
        const QJsonValue size = value(field, row);
        return size.isNull() ? std::nullopt : std::optional<QString>(QString::number(size.toInteger()));
    }
    return m_core.NSStringValueForTableColumn(tableId, column->identifier, row);
}
