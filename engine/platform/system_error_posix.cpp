// A failed call's reason on POSIX: errno (EIO when it left none) and strerror_r's text.
#include <cerrno>
#include <cstring>

#include "engine/platform/system_error.h"

SystemError SystemError::Last() {
    return SystemError(errno != 0 ? errno : EIO);
}

std::string SystemError::SystemMessage() const {
    char text[256];
    // The GNU strerror_r may return a static text instead of filling `text`.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    return strerror_r(code_, text, sizeof text);
#else
    return strerror_r(code_, text, sizeof text) == 0 ? text : "error " + std::to_string(code_);
#endif
}
