// A ceiling on what one stretch of code may allocate.  Loaders of files from
// outside run the libraries that parse them under it, so a damaged count in a
// file meets std::bad_alloc instead of exhausting the machine.
#pragma once

#include <cstddef>

class AllocationCeiling {
public:
    explicit AllocationCeiling(size_t bytes);
    ~AllocationCeiling();
    AllocationCeiling(const AllocationCeiling&) = delete;
    AllocationCeiling& operator=(const AllocationCeiling&) = delete;
};
