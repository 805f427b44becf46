#pragma once

#include "readers/VeskMediafileDataSource.h"

/// Recognises AAF files by their extension but does not read them: opening one is
/// logged and fails.
class VeskAAF : public VeskMediafileDataSource {
public:
    bool openFile(const QString &path, VeskProgressIndicator *indicator) override;
    uint64_t getType() const override { return kTypeAAF; }

private:
    VeskProgressIndicator *m_indicator = nullptr;
};
