#include "VeskSound.h"

#include <QApplication>

#include <atomic>

namespace {
std::atomic<int> pops { 0 };
}

void VeskSound::pop()
{
    ++pops;
    QApplication::beep();
}

int VeskSound::popCount()
{
    return pops;
}
