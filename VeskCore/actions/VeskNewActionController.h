#pragma once

#include "actions/VeskActionProperties.h"

#include <QString>

#include <optional>

/// The rules of the action set-up sheet without its widgets: the properties its
/// controls edit, the summary it shows and whether "go" may end it. The sheet calls
/// the control operations and shows the texts and alerts this gives back.
class VeskNewActionController {
public:
    /// Why go was refused: an informational alert with one button "OK".
    struct Refusal {
        QString message;
        QString informativeText;
    };

    /// The selected items in table order; none or an empty list when nothing is selected.
    explicit VeskNewActionController(std::optional<std::vector<VeskItemRef>> items);

    VeskActionProperties &ActionProperties() { return m_properties; }
    const VeskActionProperties &ActionProperties() const { return m_properties; }

    /// One of "Copy", "Move", "Delete", "Quarantine" switched on; rebuilds the summary.
    void RadioChanged(const QString &action);
    void checkSetFolders(bool on) { m_properties.Create_projects_folders = on; }
    void checkSetMXF(bool on) { m_properties.Create_mxf_folders = on; }
    void checkSetKeepPMR(bool on) { m_properties.Keep_pmr = on; }
    /// Also enables the keep-index box, and unticks it when turned off.
    void checkSetKeepOriginalFolders(bool on);
    void checkSetSure(bool on) { m_properties.Im_sure = on; }
    void checkSetVerify(bool on) { m_properties.Verify_copies = on; }
    bool isKeepPMREnabled() const { return m_keepPMREnabled; }

    /// Editing of the destination text ended: its percent escapes are decoded; text
    /// that cannot be decoded leaves no destination. Rebuilds the summary.
    void DestinationEditingEnd(const QString &text);
    /// A folder chosen in the open panel; its path is taken as it is.
    void SelectDestination(const QString &folder);

    /// How many items the summary names before "and N more".
    static constexpr size_t kNamedItems = 3;

    /// Rebuilds and returns the summary: action, count, size, destination and the
    /// names of the first items.
    QString updateStatusText();
    const QString &summaryText() const { return m_summary; }

    /// None when the sheet may end with go; otherwise the alert to show.
    std::optional<Refusal> PushGo();

private:
    static QString firstItemNames(const std::vector<VeskItemRef> &items);
    /// Writes the normalised destination back; true when it names an existing folder.
    bool normaliseDestination();

    VeskActionProperties m_properties;
    std::optional<uint64_t> m_itemsTotalSize;
    QString m_summary;
    bool m_keepPMREnabled = false;
};
