#pragma once

#include "model/VeskDatabaseItem.h"
#include "readers/AVBFile.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <variant>
#include <vector>

/// How much of the media that bins reference the store holds: per bin (or folder of
/// bins counted together) its distinct references, those with an item whose file
/// exists, the size of those files and the references left without one (offline).
class VeskBinUsageReport {
public:
    /// The references of one bin, or of the bins of one folder together.
    struct Source {
        QString bin;
        std::vector<AVBFileUID> references;
    };
    struct Row {
        QString bin;
        uint64_t references = 0;
        uint64_t found = 0;
        uint64_t foundSize = 0; ///< bytes, each file once
        std::vector<AVBFileUID> offline; ///< in the order of their texts
    };
    /// What a row of all the sources together is called.
    static QString allBins() { return QStringLiteral("*"); }

    /// One row per source, in their order, then one for all of them together.
    static std::vector<Row> rows(const std::vector<VeskItemRef> &items, const std::vector<Source> &sources);
    /// Reads each bin into a source of its own; the text of the first bin refused.
    static std::variant<std::vector<Source>, QString> readBins(const QStringList &paths);
};
