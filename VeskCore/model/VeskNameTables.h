#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <map>
#include <optional>
#include <unordered_map>

/// The constant name tables of the store: compression names by resolution ID, texts of
/// frame and sample rates, and DNx bit-rate labels by resolution ID and frame rate.
/// Rate keys compare by numeric value: 25 and 25.0 are one key, 30000/1001 is not 29.97.
class VeskNameTables {
public:
    using RateTable = std::map<double, QString>;

    VeskNameTables();

    const std::unordered_map<uint32_t, QString> &resolutionIDDictionary() const { return m_resolutions; }
    const RateTable &frameratesDictionary() const { return m_rates; }
    const std::unordered_map<uint32_t, RateTable> &dnxDictionary() const { return m_dnx; }

    /// The compression name for the item's resolution ID, or "ABCD ID:1299" from its
    /// four-character code, or none.
    std::optional<QString> compressionNameForItem(const VeskDatabaseItem &item) const;
    std::optional<QString> frameRateTextForItem(const VeskDatabaseItem &item) const;
    std::optional<QString> sampleRateTextForItem(const VeskDatabaseItem &item) const;
    std::optional<QString> getBitrateTextForItem(const VeskDatabaseItem &item) const;
    /// True for the resolution IDs whose sample-rate cell shows the DNx bit rate.
    static bool isDNxResolution(uint32_t resolutionID) { return resolutionID - 1235u < 40u; }

private:
    void initResolutionsDictionary();
    void initFrameratesDictionary();
    void initDNxDictionary();
    std::optional<QString> rateText(double rate) const;

    std::unordered_map<uint32_t, QString> m_resolutions;
    RateTable m_rates;
    std::unordered_map<uint32_t, RateTable> m_dnx;
};
