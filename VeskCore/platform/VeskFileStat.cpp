#include "platform/VeskFileStat.h"

#include "platform/VeskFileName.h"

#include <fcntl.h>
#include <sys/stat.h>

std::optional<VeskFileStat> VeskFileStat::query(const QString &path)
{
    return query(VeskFileName::encode(path).constData());
}

std::optional<VeskFileStat> VeskFileStat::query(const char *nativePath)
{
    return query(AT_FDCWD, nativePath);
}

std::optional<VeskFileStat> VeskFileStat::query(int folder, const char *nativeName)
{
    struct statx st { };
    if (statx(folder, nativeName, 0, STATX_SIZE | STATX_BTIME | STATX_CTIME | STATX_TYPE, &st) != 0)
        return std::nullopt;
    const struct statx_timestamp &t = (st.stx_mask & STATX_BTIME) ? st.stx_btime : st.stx_ctime;
    VeskFileStat result;
    result.size = st.stx_size;
    result.creationMSecs = int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
    result.isDirectory = S_ISDIR(st.stx_mode);
    return result;
}
