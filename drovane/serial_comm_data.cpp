// The port number in a SERIALCOMM registry value such as "COM3": the two characters after the
// prefix, read as atoi reads them, kept to 8 bits; nothing past the data is read.
#include "serial_comm_data.h"

#include <cstdlib>

uint8_t PortNumberFromSerialCommData(const char* data, size_t size) {
    size_t length = 0;
    while (length < size && data[length] != '\0') ++length;
    char digits[3] = {0, 0, 0};
    for (size_t i = 3; i < 5 && i < length; ++i) digits[i - 3] = data[i];
    return static_cast<uint8_t>(std::atoi(digits));
}
