#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

/// Puts a fuzz input into a file with the given extension, for readers that open paths;
/// in memory-backed /dev/shm when there is one.
QString writeFuzzFile(const uint8_t *data, size_t size, const char *extension);
