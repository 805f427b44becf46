#pragma once

/// Routes FFmpeg's own diagnostics into the console instead of the terminal. FFmpeg
/// has one process-wide log callback; it is installed once, on first use, and passes
/// on warnings, errors and fatal messages only.
class VeskFFmpegLog {
public:
    /// Installs the callback; safe to call from any thread, any number of times.
    static void install();
};
