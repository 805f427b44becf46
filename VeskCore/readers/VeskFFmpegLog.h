#pragma once

/// Routes FFmpeg's own diagnostics into the console instead of the terminal. FFmpeg
/// has one process-wide log callback; the first object installs it, and it passes on
/// warnings, errors and fatal messages only.
///
/// While an object lives, the messages of its thread are about one file:
/// the first `kLinesPerFile` lines pass, the others are counted, and the count is
/// logged when the object ends. A damaged file cannot flood the console.
class VeskFFmpegLog {
public:
    static constexpr int kLinesPerFile = 20;

    /// Installs the callback if needed and starts counting this thread's lines.
    VeskFFmpegLog();
    /// Logs how many lines were dropped, if any.
    ~VeskFFmpegLog();
    VeskFFmpegLog(const VeskFFmpegLog &) = delete;
    VeskFFmpegLog &operator=(const VeskFFmpegLog &) = delete;
};
