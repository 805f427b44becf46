#pragma once

/// The short alert sound of refused commands and drops.
class VeskSound {
public:
    static void pop();
    /// How many times pop() ran; lets tests see a refusal that has no other effect.
    static int popCount();
};
