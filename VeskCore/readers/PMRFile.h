#pragma once

#include "model/VeskDatabaseItem.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

/// Reader of a media folder's index ("msmFMID.pmr", "amaFMID.pmr"): a 12-byte header
/// (magic 1961 in the file's byte order, UID length in words, record count) and then
/// records back to back, each: file package UID, 16-bit clip name length and name,
/// 16-bit project name length and name, material package UID, 4-byte trailer.
/// Made for one file and one pass: read the file, then call FillItem() with a fresh
/// item until it returns nothing.
class PMRFile {
public:
    PMRFile() = default;

    /// Reads the whole file and decodes its header. Nothing is reported: an unreadable
    /// file, one under 30 bytes, an unknown magic or a UID length other than 8 or 2
    /// words leaves ItemsCount() at 0.
    void dataWithContentsOfURL(const QString &path);
    /// The same for an index already in memory.
    void setData(const QByteArray &bytes);

    /// The record count of the header; 0 until a file was read successfully.
    uint32_t ItemsCount() const { return m_itemsCount; }

    /// Fills the item from the next complete record whose clip name is a file name and
    /// returns it; records naming no file are skipped (see skippedRecords()). Returns
    /// nothing when no item is given, the file was not read, or the next record does
    /// not fit or has a project name length out of range. After that the pass has
    /// ended: later calls return nothing too.
    VeskItemRef FillItem(VeskItemRef item);

    /// The numbers (from 1) of the records skipped so far because their clip name is
    /// not a file name: empty, "." or "..", longer than 255 bytes, or holding "/" or NUL.
    const std::vector<uint32_t> &skippedRecords() const { return m_skippedRecords; }

private:
    bool decodeHeader();
    uint64_t recordEnd(uint64_t start) const;
    QByteArrayView clipNameAt(uint64_t start) const;

    QByteArray filedata;
    uint32_t UUIDlength = 0;
    uint32_t m_itemsCount = 0;
    // 64-bit so that no offset arithmetic can wrap, whatever the file's size.
    uint64_t position = 0;
    bool usebyteswap = false;
    uint32_t m_recordNumber = 0;
    std::vector<uint32_t> m_skippedRecords;
};
