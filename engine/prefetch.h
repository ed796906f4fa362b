#pragma once

namespace lanshan {

// Asks the processor to start loading an address that will be read soon. Large tables are
// read in scattered order; issuing several loads ahead lets their cache misses overlap.
inline void prefetch(const void *address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

} // namespace lanshan
