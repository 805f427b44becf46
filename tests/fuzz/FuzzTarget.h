#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

// One fuzz target: the input entry point that libFuzzer calls, and valid seed inputs
// made by the fixture writers.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
std::vector<QByteArray> fuzzSeeds();
