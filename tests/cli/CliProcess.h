#pragma once

// What the command line tests share: running programs, reading what they print and wrote.

#include "support/QtPrinters.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

/// How a program run by a test ended and what it printed.
struct ProcessResult {
    int status;
    QByteArray rawOut;
    QString out;
    QString err;
};

/// A program run with the arguments; the input, when there is one, is its whole standard input.
inline ProcessResult run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    const QByteArray out = process.readAllStandardOutput();
    return { process.exitCode(), out, QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError()) };
}

/// vesk-cli, run with the arguments.
inline ProcessResult cli(const QStringList &arguments, const QByteArray &input = {})
{
    return run(QStringLiteral(VESK_CLI), arguments, input);
}

/// vesk-mkvolume, run with the options, writes a volume at the root; false when it fails.
inline bool makeVolume(const QString &root, const QStringList &options)
{
    const ProcessResult made = run(QStringLiteral(VESK_MKVOLUME), QStringList { root } + options);
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    return made.status == 0;
}

/// Each non-empty line of the output as a JSON object.
inline QList<QJsonObject> jsonLines(const QString &out)
{
    QList<QJsonObject> objects;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        objects << QJsonDocument::fromJson(line.toUtf8()).object();
    return objects;
}

/// The plan a dry run prints: source -> target for each row that would be acted on.
inline QMap<QString, QString> dryRunTargets(const QString &out)
{
    QMap<QString, QString> targets;
    for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList parts = line.split(" -> ");
        if (parts.size() == 2)
            targets.insert(parts[0], parts[1]);
    }
    return targets;
}

/// Sends what is deleted under the folder to a trash inside it: the trash of files under
/// a home folder is in its data folder.
inline void trashInside(const QString &folder)
{
    qputenv("HOME", QFile::encodeName(folder));
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder + QStringLiteral("/data")));
}

/// The bytes of a file; none when it cannot be read.
inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// Changes the byte at the offset of the file; false when it cannot.
inline bool flipByte(const QString &path, qint64 offset)
{
    QFile file(path);
    char byte = 0;
    return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.getChar(&byte) && file.seek(offset)
        && file.putChar(char(~byte));
}

/// The files below the folder, hidden ones too, whose names match the filters (all without).
inline QStringList filesBelow(const QString &folder, const QStringList &filters = {})
{
    QStringList files;
    QDirIterator it(folder, filters, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}
