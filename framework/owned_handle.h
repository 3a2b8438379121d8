#pragma once
#include <windows.h>

#include <utility>

namespace framework {

// Owns a kernel handle and closes it once. Both null and INVALID_HANDLE_VALUE
// count as "nothing to close", because CreateFile reports failure with the
// latter and CloseHandle(INVALID_HANDLE_VALUE) would name the current process.
class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~OwnedHandle() { Close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    bool null() const { return handle_ == nullptr; }

    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    void Close() {
        if (valid()) ::CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace framework
