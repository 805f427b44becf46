#include "readers/VeskFFmpegLog.h"

#include "base/VeskNSLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QByteArray>

#include <cstdarg>
#include <mutex>

namespace {

constexpr qsizetype kMaxPendingLine = 4096;

// The lines of the file this thread reads; not counted outside a VeskFFmpegLog's life.
struct FileLines {
    bool counting = false;
    int passed = 0;
    int dropped = 0;
};
thread_local FileLines fileLines;

void logLine(const QByteArray &line)
{
    if (fileLines.counting && fileLines.passed >= VeskFFmpegLog::kLinesPerFile) {
        ++fileLines.dropped;
        return;
    }
    fileLines.passed += fileLines.counting ? 1 : 0;
    VeskNSLog(nullptr, 0, "FFmpeg", QString::fromUtf8(line));
}

void logCallback(void *context, int level, const char *format, va_list arguments)
{
    if ((level & 0xff) > AV_LOG_WARNING)
        return;
    // FFmpeg may build one line from several calls; each thread collects its own.
    thread_local QByteArray pending;
    thread_local int printPrefix = 1;
    char line[1024];
    av_log_format_line2(context, level, format, arguments, line, sizeof line, &printPrefix);
    pending += line;
    if (!pending.endsWith('\n') && pending.size() < kMaxPendingLine)
        return;
    logLine(pending);
    pending.clear();
}

} // namespace

VeskFFmpegLog::VeskFFmpegLog()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(&logCallback); });
    fileLines = { true, 0, 0 };
}

VeskFFmpegLog::~VeskFFmpegLog()
{
    if (fileLines.dropped > 0)
        VeskNSLog(nullptr, 0, "FFmpeg",
            QStringLiteral("%1 more messages about this file were dropped").arg(fileLines.dropped));
    fileLines = {};
}
