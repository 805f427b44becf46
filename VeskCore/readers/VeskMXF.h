#pragma once

#include "readers/VeskMediafileDataSource.h"

#include <QByteArray>
#include <QVariantMap>

/// Reads the Avid header metadata of one OP-Atom MXF file (clip name, project name,
/// material and file package UMIDs) and copies it into an item. Opened once per file;
/// adapters on different threads share nothing.
class VeskMXF : public VeskMediafileDataSource {
public:
    /// Reads the file's header metadata. False only when the file cannot be opened;
    /// a file that opens but holds no usable OP-Atom header is logged, and the adapter
    /// then holds no information.
    bool openFile(const QString &path, VeskProgressIndicator *indicator) override;
    uint64_t getType() const override { return kTypeMXF; }
    bool implements(Operation operation) const override { return operation == Operation::AddInfoToItem; }

    /// Clip name, project and both UIDs, when the last read succeeded.
    void addInfoToItem(VeskDatabaseItem &item) override;

    /// What the last read kept: "clipname" and "project" (text, when present),
    /// "fileUID" and "matUID" (32 bytes each, as stored in the file). Empty after a failure.
    const QVariantMap &info() const { return _info; }

    /// A 32-byte UMID with the first three fields of its material number byte-swapped
    /// from big- to little-endian; anything but 32 bytes gives 32 zero bytes.
    static QByteArray swapUUIDfromMXFtoVesk(const QByteArray &umid);

private:
    QVariantMap _info;
};
