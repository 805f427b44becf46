#pragma once

#include <QStringList>

/// vesk-cli duplicates: the copies of one media file across the folders and volumes
/// scanned, grouped by file package UID and size; or with --extras the copies that the
/// --keep rule does not keep, as media rows another command can act on.
class DuplicatesCommand {
public:
    static int run(const QStringList &arguments);
};
