#pragma once
#include <cstddef>
#include <cstdint>

// The port number in a SERIALCOMM value's data such as "COM3": the decimal
// number in the two characters after the three-letter prefix, read as atoi
// does (0 when there is no digit), kept to 8 bits. So "COM12" gives 12 and
// "COM123" gives 12 too. Only the data's own characters count, up to its first
// zero or its size.
uint8_t PortNumberFromSerialCommData(const char* data, size_t size);
