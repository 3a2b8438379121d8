#pragma once
// The cutter's serial port: which ports the system lists, and opening the
// chosen one with the cutter's line settings. Free functions, no state: the
// caller owns what they return.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "owned_handle.h"

// At most this many ports are listed.
inline constexpr size_t kMaxListedPorts = 11;

// The port numbers under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in the registry's
// enumeration order (not sorted), the first kMaxListedPorts of them. Empty
// when the key is missing.
std::vector<uint8_t> ListSerialPorts();

// Opens COM<portNumber> exclusively for overlapped writes and sets it up for
// the cutter: 38400 baud 8N1, output held while CTS is low, write timeouts of
// 1000 ms per byte plus 1000 ms, both queues purged. A port that cannot be
// opened, or refuses any of these settings, is closed again and counts as
// not opened: an empty handle (the dialog says only which port failed).
framework::OwnedHandle OpenCutterPort(uint8_t portNumber);
