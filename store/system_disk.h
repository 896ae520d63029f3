#pragma once
#include <memory>

#include "store/disk.h"

// The platform's file primitives: CreateFileA share modes on Windows; on
// systems without share modes, advisory locks plus the open-file table.
std::unique_ptr<Disk> make_system_disk();
