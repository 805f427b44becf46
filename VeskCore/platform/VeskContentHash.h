#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

struct XXH3_state_s;

/// The XXH3 128-bit digest of a stream of bytes (`xxh128` in ASC MHL), fed in pieces
/// as they pass: a copy hashes what it reads, a verification what it reads back.
/// Printed as 32 lower-case hex digits, high half first.
class VeskContentHash {
public:
    VeskContentHash();
    ~VeskContentHash();
    VeskContentHash(const VeskContentHash &) = delete;
    VeskContentHash &operator=(const VeskContentHash &) = delete;

    void add(const void *data, size_t size);
    QString hex() const;

    /// Told the bytes read so far; answers false to stop.
    using Progress = std::function<bool(int64_t)>;
    /// The digest of a regular file, read once from start to end. With `fromDisk` the
    /// file's cached pages are written out and dropped first, so that what is hashed is
    /// what the disk holds, not what a copy left in memory. Empty on failure or stop,
    /// with the reason in `error`.
    static std::optional<QString> ofFile(
        const QString &path, bool fromDisk, const Progress &progress = {}, QString *error = nullptr);

private:
    std::unique_ptr<XXH3_state_s, void (*)(XXH3_state_s *)> m_state;
};
