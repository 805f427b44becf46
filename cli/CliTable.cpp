#include "CliTable.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr int kGap = 2;
// Text columns are not narrowed below this.
constexpr int kNarrowest = 6;
const QChar kEllipsis(0x2026);

// A file name may hold control characters, which a terminal would obey.
QString printable(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() < 0xa0))
            c = QLatin1Char('?');
    return shown;
}

} // namespace

CliTable::CliTable(std::vector<Column> columns)
    : m_columns(std::move(columns))
{
}

void CliTable::addRow(const QStringList &cells)
{
    QStringList row;
    for (size_t i = 0; i < m_columns.size(); ++i)
        row.push_back(printable(cells.value(qsizetype(i))));
    m_rows.push_back(row);
}

int CliTable::terminalWidth()
{
    winsize size {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : 80;
}

QString CliTable::elide(const QString &text, int width)
{
    if (text.size() <= width)
        return text;
    if (width <= 1)
        return QString(kEllipsis).left(width);
    // The end of a path names the file, so it keeps the larger half.
    const qsizetype head = (width - 1) / 2;
    qsizetype tail = width - 1 - head;
    QString start = text.left(head);
    QString end = text.right(tail);
    if (!start.isEmpty() && start.back().isHighSurrogate())
        start.chop(1);
    if (!end.isEmpty() && end.front().isLowSurrogate())
        end.remove(0, 1);
    return start + kEllipsis + end;
}

// Natural widths, then the widest column loses one character at a time until the
// line fits or no column can give more.
std::vector<int> CliTable::columnWidths(int width) const
{
    std::vector<int> widths;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        qsizetype widest = m_columns[i].title.size();
        for (const QStringList &row : m_rows)
            widest = std::max(widest, row[qsizetype(i)].size());
        widths.push_back(int(widest));
    }
    const std::vector<int> natural = widths;
    int total = kGap * std::max(0, int(widths.size()) - 1);
    for (int w : widths)
        total += w;
    while (total > width) {
        int widest = -1;
        for (size_t i = 0; i < widths.size(); ++i)
            if (m_columns[i].kind == Kind::Text && widths[i] > std::min(kNarrowest, natural[i])
                && (widest < 0 || widths[i] > widths[size_t(widest)]))
                widest = int(i);
        if (widest < 0)
            break;
        --widths[size_t(widest)];
        --total;
    }
    return widths;
}

QString CliTable::line(const QStringList &cells, const std::vector<int> &widths) const
{
    QString text;
    for (size_t i = 0; i < widths.size(); ++i) {
        const QString cell = elide(cells[qsizetype(i)], widths[i]);
        const bool last = i + 1 == widths.size();
        if (i > 0)
            text += QString(kGap, QLatin1Char(' '));
        text += m_columns[i].kind == Kind::Number ? cell.rightJustified(widths[i])
            : last                                ? cell
                                                  : cell.leftJustified(widths[i]);
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text + QLatin1Char('\n');
}

QString CliTable::layout(int width) const
{
    const std::vector<int> widths = columnWidths(width);
    QStringList titles;
    for (const Column &column : m_columns)
        titles.push_back(column.title);
    QString text = line(titles, widths);
    for (const QStringList &row : m_rows)
        text += line(row, widths);
    return text;
}
