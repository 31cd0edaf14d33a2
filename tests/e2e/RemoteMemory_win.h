#pragma once

#include <windows.h>

#include <cstddef>

#include "platform/win/UniqueHandle.h"

namespace ondrevan::probe {

// A block of memory inside the process that owns a window, for the control messages whose
// arguments are pointers (a list view's item text, a tree item's rectangle).
class RemoteMemory {
  public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, processId));
        if (process_)
            address_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                        PAGE_READWRITE);
    }
    ~RemoteMemory() {
        if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    explicit operator bool() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    // Left to the other process, which frees it (or ends) when it is done with it.
    void HandOver() { address_ = nullptr; }
    // Offsets are in bytes from the block's start.
    bool Write(const void* data, std::size_t bytes, std::size_t offset = 0) const {
        return offset + bytes <= size_ &&
               ::WriteProcessMemory(process_.get(), static_cast<char*>(address_) + offset, data,
                                    bytes, nullptr);
    }
    bool Read(void* data, std::size_t bytes, std::size_t offset = 0) const {
        return offset + bytes <= size_ &&
               ::ReadProcessMemory(process_.get(), static_cast<char*>(address_) + offset, data,
                                   bytes, nullptr);
    }

  private:
    win::UniqueHandleObject process_;
    void* address_ = nullptr;
    std::size_t size_;
};

}  // namespace ondrevan::probe
