#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

/// Copies of one media file across folders and volumes: items whose file package UIDs
/// and sizes are equal. Items with a bad UID never group. A UID seen with more than one
/// size is a damaged or partial copy: each of its sizes is a group of its own, flagged
/// "size", even with one copy. Copies whose file is missing join their UID's group when
/// the existing copies agree on one size.
class VeskDuplicates {
public:
    enum class Problem : uint8_t { None, Size, Content };

    struct Group {
        std::vector<VeskItemRef> copies; // in the order of the items given
        uint64_t size = 0;
        Problem problem = Problem::None;

        uint64_t existingCopies() const;
        /// The space that every existing copy but one takes.
        uint64_t extraSize() const { return existingCopies() > 1 ? size * (existingCopies() - 1) : 0; }
    };

    struct Totals {
        uint64_t groups = 0;
        uint64_t copies = 0;
        uint64_t extraSize = 0;
    };

    /// Which copy of a group to keep.
    struct KeepRule {
        enum class Kind { Oldest, Newest, First, Under } kind = Kind::First;
        QString prefix; // for Under: a volume or folder

        /// "oldest", "newest", "first" or "under:PREFIX"; none for anything else.
        static std::optional<KeepRule> parse(const QString &text);
    };

    /// Told the bytes hashed so far and in all; answers false to stop.
    using Progress = std::function<bool(uint64_t done, uint64_t total)>;

    /// The groups of the items, each with two or more copies or a problem, ordered by
    /// their first copy.
    static std::vector<Group> find(const std::vector<VeskItemRef> &items);
    static Totals totals(const std::vector<Group> &groups);
    static QString problemText(Problem problem);

    /// The copy the rule keeps, as an index into the group's copies; none when no copy
    /// fits (no copy under the prefix, no copy with a date).
    static std::optional<size_t> kept(const Group &group, const KeepRule &rule);
    /// Every existing copy but the kept one. A group whose kept copy is missing, or that
    /// keeps none, gives none: all its existing copies stay.
    static std::vector<VeskItemRef> extras(const Group &group, const KeepRule &rule);

    /// Reads every existing copy of the groups once and hashes it. The copies that share
    /// the group's most common content stay; the others leave it, as one "content" group
    /// per content (and one per unreadable copy, with the reason in `errors`). None when
    /// stopped.
    static std::optional<std::vector<Group>> confirmByContent(
        const std::vector<Group> &groups, const Progress &progress, QStringList *errors = nullptr);
};
