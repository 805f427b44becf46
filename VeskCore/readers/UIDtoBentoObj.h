#pragma once

#include <cstdint>

/// One record of a mob list: a mob's 8-byte UID and the Bento object that holds the mob.
class UIDtoBentoObj {
public:
    /// The 8 UID bytes in their stored order, as two words.
    struct OM_UID64 {
        uint32_t UIDHi = 0;
        uint32_t UIDLo = 0;
    };
    struct Data {
        OM_UID64 uid;
        uint32_t BentoID = 0;
    };

    UIDtoBentoObj() = default;
    /// Copies the 8 UID bytes at uid; the object ID is 0.
    explicit UIDtoBentoObj(const uint8_t *uid);

    void set_to(const UIDtoBentoObj &other) { data = other.data; }
    void set_to_nil() { data = {}; }

    /// Ordering of the mob trees: the 8 UID bytes read as one little-endian number.
    bool isLiteThan(const UIDtoBentoObj &other) const { return uid64() < other.uid64(); }
    /// Equality of the mob trees: the UIDs alone, whatever the objects.
    bool hasSameUID(const UIDtoBentoObj &other) const
    {
        return data.uid.UIDHi == other.data.uid.UIDHi && data.uid.UIDLo == other.data.uid.UIDLo;
    }

    Data data;

private:
    uint64_t uid64() const;
};
