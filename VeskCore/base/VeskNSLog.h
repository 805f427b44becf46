#pragma once

#include <QString>

/// Writes one diagnostic line into the console:
/// "(function) (file:00000077) :: message" or, without a source file, "(function) :: message".
void VeskNSLog(const char *sourceFile, int line, const char *function, const QString &message);

/// Writes the message and a line feed to standard output, and the message to the console.
void VeskPrint(const QString &message);

/// Logs with the caller's file, line and function.
#define VESK_LOG(message) VeskNSLog(__FILE__, __LINE__, static_cast<const char *>(__func__), (message))
