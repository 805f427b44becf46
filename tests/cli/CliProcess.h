#pragma once

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
