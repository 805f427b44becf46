#include "readers/VeskMediafile.h"

#include "readers/VeskAAF.h"
#include "readers/VeskMXF.h"
#include "readers/VeskOMFI.h"

#include <QFileInfo>

VeskMediafile::VeskMediafile()
    : m_FillerForOutlineView(
        std::make_shared<VeskInspectorRow>(VeskInspectorRow { 0, 0, false, QStringLiteral("No File Loaded") }))
{
}

VeskMediafile::~VeskMediafile() = default;

std::unique_ptr<VeskMediafileDataSource> VeskMediafile::readerForExtension(const QString &extension)
{
    const QString e = extension.toLower();
    if (e == QLatin1String("mdb") || e == QLatin1String("omf") || e == QLatin1String("aif")
        || e == QLatin1String("wav"))
        return std::make_unique<VeskOMFI>();
    if (e == QLatin1String("mxf"))
        return std::make_unique<VeskMXF>();
    if (e == QLatin1String("aaf"))
        return std::make_unique<VeskAAF>();
    return nullptr;
}

void VeskMediafile::installCorrespondingFileReader()
{
    VeskDatabaseItem::setCorrespondingFileReader([](VeskDatabaseItem &item, const QString &path) {
        VeskMediafile file;
        file.openFile(path, nullptr);
        file.addInfoToItem(item);
    });
}

bool VeskMediafile::openFile(const QString &path, VeskProgressIndicator *indicator)
{
    m_isOpen = false;
    m_Filetype = 0;
    setReader(nullptr);
    m_FileUrl = path;
    if (path.isEmpty())
        return false;
    setReader(readerForExtension(QFileInfo(path).suffix()));
    if (!m_thefile)
        return false;
    m_isOpen = m_thefile->openFile(path, indicator);
    if (m_isOpen)
        m_Filetype = m_thefile->getType();
    return m_isOpen;
}

void VeskMediafile::setReader(std::unique_ptr<VeskMediafileDataSource> reader)
{
    m_thefile = std::move(reader);
    m_datasourceRespondsTo = {};
    if (!m_thefile)
        return;
    m_datasourceRespondsTo.numberOfChildren = m_thefile->implements(Operation::NumberOfChildren);
    m_datasourceRespondsTo.isItemExpandable = m_thefile->implements(Operation::IsItemExpandable);
    m_datasourceRespondsTo.child = m_thefile->implements(Operation::Child);
    m_datasourceRespondsTo.stringForItem = m_thefile->implements(Operation::StringForItem);
    m_datasourceRespondsTo.addInfoToItem = m_thefile->implements(Operation::AddInfoToItem);
}

uint64_t VeskMediafile::getMDBCompositionsCount() const
{
    return m_isOpen && m_thefile ? m_thefile->getMDBCompositionsCount() : 0;
}

void VeskMediafile::addInfoToItem(VeskDatabaseItem &item)
{
    if (m_thefile && m_datasourceRespondsTo.addInfoToItem)
        m_thefile->addInfoToItem(item);
}

uint32_t VeskMediafile::numberOfChildrenOfItem(const VeskInspectorRow *row)
{
    if (!m_thefile)
        return m_isOpen ? 0 : 1;
    return m_datasourceRespondsTo.numberOfChildren ? m_thefile->numberOfChildrenOfItem(row) : 1;
}

VeskInspectorRowRef VeskMediafile::child(uint32_t index, const VeskInspectorRow *row)
{
    if (m_thefile && m_datasourceRespondsTo.child)
        return m_thefile->child(index, row);
    return m_FillerForOutlineView;
}

bool VeskMediafile::isItemExpandable(const VeskInspectorRow *row)
{
    if (row)
        return row->expandable;
    return m_thefile && m_datasourceRespondsTo.isItemExpandable && m_thefile->isItemExpandable(row);
}

QString VeskMediafile::objectValueFor(const VeskInspectorRow *row) const
{
    return row ? row->name : QStringLiteral("...");
}

std::optional<VeskPreviewContents> VeskMediafile::getNSViewWithContentsFor(const VeskInspectorRow *row)
{
    if (!row)
        return std::nullopt;
    if (m_isOpen && m_thefile) {
        if (std::optional<VeskPreviewContents> contents = m_thefile->getNSViewWithContentsFor(row))
            return contents;
    }
    return VeskPreviewContents { row->name, VeskPreviewContents::Style::Label };
}
