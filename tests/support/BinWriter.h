#pragma once

#include "Bytes.h"
#include "TestFiles.h"

#include "model/VeskUUID.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

/// Writes Avid bin files: the header with its creator text, atoms back to back, clips
/// that reference media by file package UID, and damaged files on purpose.
///
///     BinWriter().creator("Editor 8").clip("A001", { uidA, uidB }).write(path);
///
/// A reference names bytes 16 to 23 of a UID, so an 8-byte Avid UID (stored there) and a
/// 32-byte UMID are both accepted. The file ends in a 32-byte closing atom, so every
/// reference lies inside the part of the file that readers search.
class BinWriter {
public:
    static constexpr int kHeaderLength = 119;
    static constexpr int kTailLength = 32;
    static constexpr int kReferenceLength = 18;

    /// An 8-byte Avid UID as items store it: the two words in bytes 16 to 23.
    static VeskUUID avidUID(uint32_t word4, uint32_t word5);
    /// The 119-byte header; the creator text is cut to the 46 bytes that fit before the atoms.
    static QByteArray header(const QByteArray &creator = {});
    /// One media reference pattern naming bytes 16 to 23 of the UID.
    static QByteArray reference(const VeskUUID &uid);

    BinWriter &creator(const QByteArray &text) { return setField(*this, m_creator, text); }
    /// A clip atom: the name, `dataBytes` of clip attributes, then one track entry with a
    /// reference per media file.
    BinWriter &clip(const QByteArray &name, const std::vector<VeskUUID> &media, int dataBytes = 64);
    /// A file atom ("ELIF") or window atom ("FNIW"): two bytes, then a text with its length.
    BinWriter &fileAtom(uint8_t b8, uint8_t b9, const QByteArray &text) { return atom("ELIF", named(b8, b9, text)); }
    BinWriter &windowAtom(uint8_t b8, uint8_t b9, const QByteArray &text) { return atom("FNIW", named(b8, b9, text)); }
    /// Any atom; `claimedLength` replaces the body's length in the atom header, so an
    /// atom can claim more bytes than the file holds.
    BinWriter &atom(const QByteArray &tag, const QByteArray &body, std::optional<uint32_t> claimedLength = {});
    /// Spoils the header tag, so that the file is no longer a bin.
    BinWriter &wrongHeader() { return setField(*this, m_wrongHeader, true); }

    /// Header, atoms and the closing atom.
    QByteArray bytes() const;
    /// The length of `bytes()`.
    qsizetype size() const { return kHeaderLength + m_atoms.size() + kTailLength; }
    /// Writes the file; false when it cannot.
    bool write(const QString &path) const { return TestFiles::writeFile(path, bytes()); }

private:
    static QByteArray named(uint8_t b8, uint8_t b9, const QByteArray &text);
    QByteArray clipData(int length);

    QByteArray m_creator;
    QByteArray m_atoms;
    bool m_wrongHeader = false;
    uint32_t m_seed = 0x2545F491;
};
