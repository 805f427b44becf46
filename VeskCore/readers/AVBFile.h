#pragma once

#include "model/VeskDatabaseItem.h"

#include <QByteArray>
#include <QString>

#include <compare>
#include <cstdint>
#include <vector>

/// The identity of a media file that a bin references: words 4 and 5 of its file
/// package UID, the two words by which VeskDatabaseItem compares items. The default
/// ordering (word 4, then word 5, unsigned) is the order of `isLessByUUID`, and `key()`
/// keeps it in one 64-bit number, so a list of these can be sorted and searched directly.
struct AVBFileUID {
    uint32_t word4 = 0;
    uint32_t word5 = 0;

    /// Words 4 and 5 of a UID, whether it holds an 8-byte UID or a 32-byte UMID.
    static AVBFileUID fromUUID(const VeskUUID &uid) { return { uid.word(4), uid.word(5) }; }
    uint64_t key() const { return (uint64_t(word4) << 32) | word5; }
    /// A search key in item form: a new item whose file package UID holds these words
    /// in bytes 16 to 23 and nothing else (no size, no path, no names).
    VeskItemRef makeProbe() const;
    /// Bytes 16 to 23 of the UID as 16 lowercase hex digits, as the UID columns show them.
    QString text() const;

    auto operator<=>(const AVBFileUID &) const = default;
};

/// Reader of an Avid bin file. It does not decode the bin: it recognises it by its
/// header and finds the media it references by one fixed byte pattern. Made for one
/// file; it keeps the whole file in memory for its life.
class AVBFile {
public:
    /// What a file is worth as the ground of a bin operation. A bin whose atoms do not
    /// end exactly at the end of the file is damaged: what it fails to say would let
    /// media through a subtraction.
    enum class Status { Sound, NoReferences, Unreadable, NotABin, Damaged };

    AVBFile() = default;

    /// Reads the whole file; true when it is a bin (logged with its path).
    bool dataWithContentsOfURL(const QString &path);
    /// Reads the whole file and judges it. Only a regular file is opened. The bytes are
    /// kept whenever the file is a bin, damaged or not.
    Status readBin(const QString &path);
    /// Unreadable, not a bin or damaged: a bin operation must not use it.
    static bool isRefused(Status status) { return status >= Status::Unreadable; }
    /// One line naming the file and what is wrong with it; empty for a sound bin.
    static QString statusText(Status status, const QString &path);
    /// True when the atoms, each a 4-byte tag, a 32-bit little-endian length and that
    /// many bytes, run from the end of the header exactly to the end of the file.
    bool atomsEndAtEndOfFile() const;
    /// Takes bytes already in memory; true when they are a bin. Nothing is logged.
    bool dataWithBytes(QByteArray bytes);

    /// The file package UIDs the bin references, in file order, one entry per
    /// reference (repeats included); empty when it references nothing.
    std::vector<AVBFileUID> getUIDS() const;
    /// One search probe per reference, in the order of `getUIDS()`.
    std::vector<VeskItemRef> probes() const;
    /// Logs the bin's creator and its file and window atoms; always returns an empty list.
    std::vector<AVBFileUID> getAMAUIDS() const;

    /// Each byte as two lowercase hex digits followed by " ", or by " | " after every
    /// fourth byte. Empty for no bytes.
    static QString hexlifyRawBytes(const uint8_t *bytes, uint64_t length);

    /// True when the bytes begin with a bin's header and are long enough to be one.
    static bool isBin(const QByteArray &bytes);

private:
    Status loadFile(const QString &path);
    QString atomWalkText(uint64_t &offset) const;
    void logCreator() const;

    QByteArray filedata;
};
