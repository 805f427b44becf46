#pragma once

#include "model/VeskDatabaseItem.h"

#include <QString>

#include <cstdint>
#include <random>
#include <vector>

/// Items as a scan of a large shared volume makes them: realistic clip and bin names,
/// a folder per hundred files, a few hundred projects, sizes from a few kilobytes to a
/// few gigabytes, and a share of files seen twice (a folder scanned again).
class SyntheticMedia {
public:
    struct Options {
        uint64_t count = 1000000;
        uint32_t projects = 200;
        uint32_t filesPerFolder = 100;
        double duplicateShare = 0.02;
        uint32_t seed = 1;
    };

    static std::vector<VeskItemRef> makeItems(const Options &options);
    static QString clipName(std::mt19937 &random, uint64_t number);
    static QString projectName(uint32_t number);
};
