#pragma once

#include <QString>

#include <cstdint>
#include <memory>

/// One row of the project summary: a project name with the number and size of its
/// counted items, and whether the project is checked in the project filter.
class VeskProject {
public:
    bool mustBeShownInList() const { return m_mustBeShownInList; }
    void setMustBeShownInList(bool value) { m_mustBeShownInList = value; }
    uint32_t FilesCount() const { return m_filesCount; }
    void setFilesCount(uint32_t value) { m_filesCount = value; }
    const QString &name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    uint64_t SizeValue() const { return m_sizeValue; }
    void setSizeValue(uint64_t value) { m_sizeValue = value; }

    /// Same name, as exact text.
    bool isEqual(const VeskProject *other) const { return other && other->m_name == m_name; }
    size_t hash() const { return qHash(m_name); }

private:
    bool m_mustBeShownInList = false;
    uint32_t m_filesCount = 0;
    QString m_name;
    uint64_t m_sizeValue = 0;
};

using VeskProjectRef = std::shared_ptr<VeskProject>;
