#include "DuplicateRows.h"

#include "model/VeskCellTexts.h"
#include "report/VeskFileSize.h"

namespace {

struct Field {
    const char *id;
    const char *title;
    bool onTerminal;
};

const Field kFields[] = {
    { "group", "Group", true },
    { "fileUID", "File Package UID", false },
    { "clipName", "Clip Name", true },
    { "project", "Project", false },
    { "size", "Size", true },
    { "extraSize", "Extra Size", false },
    { "problem", "Problem", true },
    { "keep", "Keep", true },
    { "exists", "Exists", false },
    { "created", "Created", false },
    { "path", "Path", true },
};

// A JSON string, appended: quotes, backslashes and control characters escaped.
void appendJson(QString &out, QStringView text)
{
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += QLatin1Char('"');
}

} // namespace

DuplicateRows::DuplicateRows(const std::vector<VeskDuplicates::Group> &groups,
    const std::optional<VeskDuplicates::KeepRule> &keep, const VeskNameTables &tables, bool bytes)
    : m_groups(groups)
    , m_tables(tables)
    , m_bytes(bytes)
{
    for (size_t group = 0; group < groups.size(); ++group) {
        m_kept.push_back(keep ? VeskDuplicates::kept(groups[group], *keep) : std::nullopt);
        for (size_t copy = 0; copy < groups[group].copies.size(); ++copy)
            m_rows.push_back({ group, copy });
    }
}

std::optional<QString> DuplicateRows::text(const VeskDatabaseItem &item, VeskColumnID column) const
{
    return VeskCellTexts::itemText(item, column, m_tables, VeskCellTexts::Use::Export);
}

QString DuplicateRows::sizeText(uint64_t size) const
{
    return m_bytes ? QString::number(size) : VeskFileSize::toHumanBytes(double(size));
}

// Written out by hand, a line at a time: a JSON document per group costs more than the
// grouping itself, and one text of every line takes its size twice over in memory.
void DuplicateRows::writeJsonLines(QTextStream &out) const
{
    QString lines;
    const auto field = [this, &lines](const char *key, const VeskDatabaseItem &item, VeskColumnID column) {
        lines += QLatin1String(key);
        appendJson(lines, text(item, column).value_or(QString()));
    };
    for (size_t i = 0; i < m_groups.size(); ++i) {
        lines.clear();
        const VeskDuplicates::Group &group = m_groups[i];
        const VeskDatabaseItem &first = *group.copies.front();
        lines += QLatin1String("{\"fileUID\":");
        appendJson(lines, first.getFileUIDString());
        lines += QLatin1String(",\"size\":") + QString::number(group.size);
        field(",\"clipName\":", first, VeskColumnID::Clipname);
        field(",\"project\":", first, VeskColumnID::Project);
        for (size_t c = 0; c < group.copies.size(); ++c)
            field(c ? "," : ",\"copies\":[", *group.copies[c], VeskColumnID::Path);
        lines += QLatin1Char(']');
        if (m_kept[i])
            field(",\"keep\":", *group.copies[*m_kept[i]], VeskColumnID::Path);
        if (group.problem != VeskDuplicates::Problem::None) {
            lines += QLatin1String(",\"problem\":");
            appendJson(lines, VeskDuplicates::problemText(group.problem));
        }
        lines += QLatin1String("}\n");
        out << lines;
    }
}

ExportTable DuplicateRows::exportTable(bool forTerminal) const
{
    ExportTable table { QStringLiteral("DuplicatesID"), QStringLiteral("Vesk"), {}, {}, m_rows.size() };
    for (const Field &field : kFields) {
        if (forTerminal && !field.onTerminal)
            continue;
        table.columnIds << QLatin1String(field.id);
        table.columnTitles << QLatin1String(field.title);
    }
    return table;
}

std::optional<QString> DuplicateRows::NSStringValueForTableColumn(
    const QString &, const QString &field, uint64_t row) const
{
    if (row >= m_rows.size())
        return std::nullopt;
    const auto [groupIndex, copyIndex] = m_rows[row];
    const VeskDuplicates::Group &group = m_groups[groupIndex];
    const VeskDatabaseItem &copy = *group.copies[copyIndex];
    if (field == QLatin1String("group"))
        return QString::number(groupIndex + 1);
    if (field == QLatin1String("fileUID"))
        return copy.getFileUIDString();
    if (field == QLatin1String("size"))
        return sizeText(group.size);
    if (field == QLatin1String("extraSize"))
        return sizeText(group.extraSize());
    if (field == QLatin1String("problem"))
        return VeskDuplicates::problemText(group.problem);
    if (field == QLatin1String("keep"))
        return m_kept[groupIndex] == copyIndex ? QStringLiteral("Yes") : QString();
    const VeskColumnID column = field == QLatin1String("clipName") ? VeskColumnID::Clipname
        : field == QLatin1String("project")                        ? VeskColumnID::Project
        : field == QLatin1String("exists")                         ? VeskColumnID::Exists
        : field == QLatin1String("created")                        ? VeskColumnID::Date
                                                                   : VeskColumnID::Path;
    return text(copy, column);
}
