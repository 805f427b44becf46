#pragma once

#include "readers/VeskMediafileDataSource.h"

#include <QString>

#include <memory>

/// The front end through which one media-related file is opened: it picks a reader by
/// the file's extension ("mdb", "omf", "aif", "wav": Bento containers; "mxf"; "aaf")
/// and forwards to it, answering itself where the reader leaves an operation out.
/// It is also the inspector's outline data source. Each open replaces the reader, so
/// rows of an earlier file never mix with the new file's.
class VeskMediafile {
public:
    VeskMediafile();
    ~VeskMediafile();

    /// The reader for a file extension (any case), or null for an unknown one.
    static std::unique_ptr<VeskMediafileDataSource> readerForExtension(const QString &extension);
    /// Lets items read their own media files (MXF) through a front end.
    static void installCorrespondingFileReader();

    /// Closes what was open; opens the file with the reader its extension picks. False
    /// for no path, an unknown extension or a file the reader cannot open.
    bool openFile(const QString &path, VeskProgressIndicator *indicator);
    bool isOpen() const { return m_isOpen; }
    QString FileUrl() const { return m_FileUrl; }
    /// The reader's type; 0 when nothing is open.
    uint64_t Filetype() const { return m_Filetype; }

    uint64_t getMDBCompositionsCount() const;
    /// Forwarded whenever a reader is set, open or not: a reader that failed finds nothing.
    void addInfoToItem(VeskDatabaseItem &item);

    // Outline data source; a null row is the outline's invisible root.
    uint32_t numberOfChildrenOfItem(const VeskInspectorRow *row);
    VeskInspectorRowRef child(uint32_t index, const VeskInspectorRow *row);
    bool isItemExpandable(const VeskInspectorRow *row);
    /// The text the outline shows: the row's name, or "..." without a row.
    QString objectValueFor(const VeskInspectorRow *row) const;
    /// The reader's preview of the row or, failing that, a label with its name; none
    /// without a row.
    std::optional<VeskPreviewContents> getNSViewWithContentsFor(const VeskInspectorRow *row);

private:
    using Operation = VeskMediafileDataSource::Operation;
    struct RespondsTo {
        bool numberOfChildren = false;
        bool isItemExpandable = false;
        bool child = false;
        bool stringForItem = false;
        bool addInfoToItem = false;
    };

    void setReader(std::unique_ptr<VeskMediafileDataSource> reader);

    std::unique_ptr<VeskMediafileDataSource> m_thefile;
    RespondsTo m_datasourceRespondsTo;
    VeskInspectorRowRef m_FillerForOutlineView;
    QString m_FileUrl;
    uint64_t m_Filetype = 0;
    bool m_isOpen = false;
};
