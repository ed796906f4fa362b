#pragma once

namespace lanshan {

// Asks the processor to start loading an address that will be read soon. Large tables are
// read in scattered order; issuing several loads ahead lets their cache misses overlap.
inline void prefetch(const void *address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
    // GCC counts a prefetch as no effect at all: a function that does nothing else is taken for
    // one without effects, and calls to it are dropped. The empty statement keeps them.
    asm volatile("" : : "r"(address));
#else
    (void)address;
#endif
}

} // namespace lanshan
