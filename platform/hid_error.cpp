#include <cerrno>

#include "platform/hid.h"

namespace vantor {

std::uint32_t HidErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return kHidOk;
        // hidraw answers reads with EIO and ioctls with ENODEV once the device is gone.
        case ENODEV:
        case ENXIO:
        case EIO:
            return kHidDeviceNotConnected;
        case EBADF:
            return kHidInvalidHandle;
        case EACCES:
        case EPERM:
            return kHidAccessDenied;
        case ENOENT:
            return kHidFileNotFound;
        default:
            return kHidGenericFailure;
    }
}

}  // namespace vantor
