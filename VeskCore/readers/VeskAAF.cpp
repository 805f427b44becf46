#include "readers/VeskAAF.h"

#include "base/VeskNSLog.h"

bool VeskAAF::openFile(const QString &path, VeskProgressIndicator *indicator)
{
    Q_UNUSED(path);
    m_indicator = indicator;
    VESK_LOG(QStringLiteral("AAf file : open"));
    return false;
}
