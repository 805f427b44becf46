#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct VeskActionProperties;

/// What a file action would do with each of its items, worked out without changing
/// anything: the plan a dry run prints, as text lines or as JSON Lines.
class CliPlan {
public:
    struct Step {
        QString action; ///< "copy", "move", "delete", or "skip" or "fail" when it would not act
        QString source;
        QString target; ///< empty for delete and where there is none
        std::optional<uint64_t> size; ///< of the source; none when it is missing
        QString reason; ///< why it is skipped or would fail; what acting replaces or asks
    };

    /// overwrite is the answer for existing targets: ask, yes or no.
    CliPlan(const VeskActionProperties &properties, const QString &overwrite);
    const std::vector<Step> &steps() const { return m_steps; }
    /// "source -> target (note)", "source: skipped (reason)", "source: would fail (reason)".
    static QString text(const Step &step);
    static QString jsonLine(const Step &step);
    /// Prints every step on standard output.
    void print(bool json) const;

private:
    std::vector<Step> m_steps;
};
