#pragma once
// Whether an output would overwrite the job's own input: the same file, by
// device and inode (Windows: volume and file ID), whatever path, link or
// spelling names it.
#include <filesystem>

#include "engine/platform/system_error.h"

// Empty when `output` is not the file `input` (or either does not exist);
// else the reason to refuse the output.
SystemError RefuseSameFile(const std::filesystem::path& input, const std::filesystem::path& output);
