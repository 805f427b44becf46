#include "readers/UIDtoBentoObj.h"

#include <QtEndian>

#include <cstring>

UIDtoBentoObj::UIDtoBentoObj(const uint8_t *uid)
{
    std::memcpy(&data.uid, uid, sizeof(data.uid));
}

uint64_t UIDtoBentoObj::uid64() const
{
    return qFromLittleEndian<uint64_t>(&data.uid);
}
