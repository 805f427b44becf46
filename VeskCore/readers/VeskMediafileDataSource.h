#pragma once

#include "model/VeskDatabaseItem.h"
#include "readers/VeskInspectorRow.h"
#include "readers/VeskPreviewContents.h"

#include <QString>

#include <cstdint>
#include <optional>

class VeskProgressIndicator;

/// A reader of one kind of media-related file, opened through VeskMediafile.
/// The operations past getType are optional: a reader that does not implement one
/// answers `implements(...)` with false and the front end answers for it.
class VeskMediafileDataSource {
public:
    enum class Operation { NumberOfChildren, IsItemExpandable, Child, StringForItem, AddInfoToItem };

    static constexpr uint64_t kTypeOMFI = 1;
    static constexpr uint64_t kTypeAAF = 3;
    static constexpr uint64_t kTypeMXF = 4;

    virtual ~VeskMediafileDataSource() = default;

    /// Opens and indexes the file; false when it cannot be read.
    virtual bool openFile(const QString &path, VeskProgressIndicator *indicator) = 0;
    virtual uint64_t getType() const = 0;
    virtual bool implements(Operation) const { return false; }

    virtual uint64_t getMDBCompositionsCount() const { return 0; }
    virtual void addInfoToItem(VeskDatabaseItem &) { }

    // The outline of the file's structure. A null row is the outline's invisible root.
    virtual uint32_t numberOfChildrenOfItem(const VeskInspectorRow *) { return 0; }
    /// The child row, or null where there is none.
    virtual VeskInspectorRowRef child(uint32_t, const VeskInspectorRow *) { return nullptr; }
    virtual bool isItemExpandable(const VeskInspectorRow *) { return false; }
    virtual std::optional<QString> StringForItem(const VeskInspectorRow *) { return std::nullopt; }
    /// The preview of a row; none when the reader has nothing of its own to show.
    virtual std::optional<VeskPreviewContents> getNSViewWithContentsFor(const VeskInspectorRow *)
    {
        return std::nullopt;
    }
};
