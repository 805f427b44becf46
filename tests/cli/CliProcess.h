#pragma once

#include <QFile>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

/// How a program run by a test ended and what it printed.
struct ProcessResult {
    int status;
    QByteArray rawOut;
    QString out;
    QString err;
};

inline ProcessResult run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << program.toStdString();
    const QByteArray out = process.readAllStandardOutput();
    return { process.exitCode(), out, QString::fromUtf8(out), QString::fromUtf8(process.readAllStandardError()) };
}

/// vesk-cli, run with the arguments.
inline ProcessResult cli(const QStringList &arguments)
{
    return run(QStringLiteral(VESK_CLI), arguments);
}

/// The bytes of a file; none when it cannot be read.
inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
