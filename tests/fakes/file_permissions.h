#pragma once
// Makes file modes bind the calling thread even when it runs as root: while
// the guard lives, the capabilities that override read, write and search
// permissions and file ownership are off in the thread's effective set. They
// stay permitted, so the destructor turns them back on.
#include <cstdint>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class WithoutFilePermissionOverride {
public:
    WithoutFilePermissionOverride() {
        if (!Get(saved_)) {
            return;
        }
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        constexpr std::uint32_t kOverrides =
            (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
        reduced[0].effective &= ~kOverrides;
        dropped_ = Set(reduced);
    }
    ~WithoutFilePermissionOverride() {
        if (dropped_) {
            Set(saved_);
        }
    }
    WithoutFilePermissionOverride(const WithoutFilePermissionOverride&) = delete;
    WithoutFilePermissionOverride& operator=(const WithoutFilePermissionOverride&) = delete;

private:
    static bool Get(__user_cap_data_struct (&data)[2]) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capget, &header, data) == 0;
    }
    static bool Set(__user_cap_data_struct (&data)[2]) {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        return ::syscall(SYS_capset, &header, data) == 0;
    }

    __user_cap_data_struct saved_[2] = {};
    bool dropped_ = false;
};
