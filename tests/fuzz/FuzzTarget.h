#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// One fuzz target: the input entry point that libFuzzer calls, and valid seed inputs
// made by the fixture writers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
std::vector<QByteArray> fuzzSeeds();

/// Puts a fuzz input into a file with the given extension, for readers that open paths;
/// in memory-backed /dev/shm when there is one.
inline QString writeFuzzFile(const uint8_t *data, size_t size, const char *extension)
{
    const QString folder = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString path = QStringLiteral("%1/vesk-fuzz-%2.%3")
                             .arg(folder)
                             .arg(QCoreApplication::applicationPid())
                             .arg(QLatin1String(extension));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}
