#include "InspectCommand.h"

#include "CliIO.h"
#include "CliOptions.h"

#include "readers/VeskInspectorRow.h"
#include "readers/VeskMediafile.h"
#include "readers/VeskPreviewContents.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace {

struct Pending {
    VeskInspectorRowRef row;
    int level;
};

// TOC entries are the rows of level 1; their index is the TOC index.
QJsonValue tocIndex(const VeskInspectorRow &row)
{
    return row.level == 1 ? QJsonValue(qint64(row.index)) : QJsonValue();
}

QString rowLine(VeskMediafile &file, const Pending &pending, bool json)
{
    const QString name = file.objectValueFor(pending.row.get());
    if (!json)
        return QString(pending.level * 2, QLatin1Char(' ')) + name;
    const QJsonObject line { { QStringLiteral("level"), pending.level },
        { QStringLiteral("tocIndex"), tocIndex(*pending.row) }, { QStringLiteral("name"), name } };
    return QString::fromUtf8(QJsonDocument(line).toJson(QJsonDocument::Compact));
}

// Depth first, each row followed by its children; the top row is level 0.
void printTree(VeskMediafile &file, int depth, bool json)
{
    std::vector<Pending> stack;
    for (uint32_t i = file.numberOfChildrenOfItem(nullptr); i-- > 0;)
        stack.push_back({ file.child(i, nullptr), 0 });
    while (!stack.empty()) {
        const Pending pending = stack.back();
        stack.pop_back();
        if (!pending.row)
            continue;
        CliIO::out() << rowLine(file, pending, json) << '\n';
        if (pending.level >= depth || !file.isItemExpandable(pending.row.get()))
            continue;
        for (uint32_t i = file.numberOfChildrenOfItem(pending.row.get()); i-- > 0;)
            stack.push_back({ file.child(i, pending.row.get()), pending.level + 1 });
    }
}

// The TOC entry's row, found breadth first below the top row.
VeskInspectorRowRef findEntry(VeskMediafile &file, uint32_t tocIndex)
{
    std::vector<VeskInspectorRowRef> rows;
    for (uint32_t i = 0; i < file.numberOfChildrenOfItem(nullptr); ++i)
        rows.push_back(file.child(i, nullptr));
    for (size_t next = 0; next < rows.size(); ++next) {
        const VeskInspectorRowRef row = rows[next];
        if (!row)
            continue;
        if (row->level == 1 && row->index == tocIndex)
            return row;
        if (file.isItemExpandable(row.get()))
            for (uint32_t i = 0; i < file.numberOfChildrenOfItem(row.get()); ++i)
                rows.push_back(file.child(i, row.get()));
    }
    return nullptr;
}

} // namespace

int InspectCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> stop = CliOptions::parse(parser, arguments))
        return *stop;
    const QString depth = QStringLiteral("depth");
    const QString describe = QStringLiteral("describe");
    bool depthOk = false;
    bool indexOk = true;
    const int levels = parser.value(depth).toInt(&depthOk);
    const uint32_t tocIndex = parser.isSet(describe) ? parser.value(describe).toUInt(&indexOk, 0) : 0;
    const bool json = parser.value(QStringLiteral("format")) == QLatin1String("json");
    if (parser.positionalArguments().size() != 1 || !depthOk || levels < 0 || !indexOk)
        return CliOptions::usageError(CliOptions::Inspect, QStringLiteral("give one FILE and whole numbers"));
    const QString path = parser.positionalArguments().first();
    VeskMediafile file;
    if (!file.openFile(path, nullptr)) {
        CliIO::error(QStringLiteral("cannot read %1 as an MDB or OMF file").arg(path));
        return CliIO::Unreadable;
    }
    if (!parser.isSet(describe)) {
        printTree(file, levels, json);
        CliIO::out() << Qt::flush;
        return CliIO::Success;
    }
    const VeskInspectorRowRef row = findEntry(file, tocIndex);
    const std::optional<VeskPreviewContents> contents = row ? file.getNSViewWithContentsFor(row.get()) : std::nullopt;
    if (!contents) {
        CliIO::error(QStringLiteral("no TOC entry %1 in %2").arg(parser.value(describe), path));
        return CliIO::Unreadable;
    }
    const QJsonObject entry { { QStringLiteral("tocIndex"), qint64(tocIndex) },
        { QStringLiteral("text"), contents->text } };
    CliIO::out() << (json ? QString::fromUtf8(QJsonDocument(entry).toJson(QJsonDocument::Compact)) : contents->text)
                 << Qt::endl;
    return CliIO::Success;
}
