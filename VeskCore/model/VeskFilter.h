#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

/// The shared filter of the database table: six show-only flags and a search text.
/// Within the kind flags and within the problem flags a set flag widens the selection;
/// kind, search and problem tests narrow it.
class VeskFilter {
public:
    static VeskFilter &sharedFilter();

    void ResetFilter();
    bool itemPassFilter(const VeskDatabaseItem *item) const;

    /// The parts of itemPassFilter, for callers that answer the search test themselves.
    bool passesKindTest(const VeskDatabaseItem &item) const;
    bool passesProblemTest(const VeskDatabaseItem &item) const;
    bool passesSearchTest(const VeskDatabaseItem &item) const;
    bool hasSearch() const { return !m_filterString.isEmpty(); }
    bool hasKindOrProblemFlags() const;

    bool filterFlagPrecomputes() const { return m_precomputes; }
    void setFilterFlagPrecomputes(bool value) { m_precomputes = value; }
    bool filterFlagImportedMedia() const { return m_importedMedia; }
    void setFilterFlagImportedMedia(bool value) { m_importedMedia = value; }
    bool filterFlagAudioMedia() const { return m_audioMedia; }
    void setFilterFlagAudioMedia(bool value) { m_audioMedia = value; }
    bool filterFlagNonPortableFiles() const { return m_nonPortableFiles; }
    void setFilterFlagNonPortableFiles(bool value) { m_nonPortableFiles = value; }
    bool filterFlagBadUMID() const { return m_badUMID; }
    void setFilterFlagBadUMID(bool value) { m_badUMID = value; }
    bool filterFlagUnreferenced() const { return m_unreferenced; }
    void setFilterFlagUnreferenced(bool value) { m_unreferenced = value; }
    const QString &filterString() const { return m_filterString; }
    void setFilterString(const QString &text) { m_filterString = text; }

private:
    bool m_precomputes = false;
    bool m_importedMedia = false;
    bool m_audioMedia = false;
    bool m_nonPortableFiles = false;
    bool m_badUMID = false;
    bool m_unreferenced = false;
    QString m_filterString;
};
