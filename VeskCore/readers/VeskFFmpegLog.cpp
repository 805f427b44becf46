#include "readers/VeskFFmpegLog.h"

#include "report/VeskNSLog.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QByteArray>

#include <cstdarg>
#include <mutex>

namespace {

constexpr qsizetype kMaxPendingLine = 4096;

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
    VeskNSLog(nullptr, 0, "FFmpeg", QString::fromUtf8(pending));
    pending.clear();
}

} // namespace

void VeskFFmpegLog::install()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(&logCallback); });
}
