#pragma once

#include "TestFiles.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

/// Writes small MXF files for the tests, the benchmarks and vesk-mkvolume.
class MXFWriter {
public:
    struct Clip {
        QString clipName; ///< the material package name; empty writes none
        std::optional<QString> projectName; ///< Avid's project name; none writes none
        QByteArray materialUMID; ///< 32 bytes; empty takes umid(1)
        QByteArray fileUMID; ///< 32 bytes; empty takes umid(2)
    };

    /// A SMPTE UMID whose material number starts with the seed, big-endian.
    static QByteArray umid(uint32_t seed);

    /// An OP-Atom file of two frames of 48 kHz 16-bit PCM whose header metadata is
    /// built set by set, with all four fields of the clip.
    static QByteArray opAtomBytes(const Clip &clip);
    static bool writeOpAtom(const QString &path, const Clip &clip)
    {
        return TestFiles::writeFile(path, opAtomBytes(clip));
    }

    /// The same file labelled with operational pattern 1a.
    static bool writeOP1a(const QString &path, const Clip &clip);
};
