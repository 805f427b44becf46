#include "platform/VeskOpenFolder.h"

#include "platform/VeskFileName.h"

#include <fcntl.h>
#include <unistd.h>

VeskOpenFolder::VeskOpenFolder(const QString &path)
    : m_path(path)
    , m_descriptor(::open(VeskFileName::encode(path).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
}

VeskOpenFolder::~VeskOpenFolder()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

std::optional<VeskFileStat> VeskOpenFolder::stat(const QString &fileName) const
{
    if (m_descriptor < 0)
        return VeskFileStat::query(m_path + QLatin1Char('/') + fileName);
    return VeskFileStat::query(m_descriptor, VeskFileName::encode(fileName).constData());
}
