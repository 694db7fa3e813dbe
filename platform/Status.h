// Results of the 2D drawing calls. Every drawing object keeps the status of its
// last failed call; the program never reads them, tests do.
#pragma once

namespace platform {

enum class Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    WrongState = 8,
    FileNotFound = 10,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
};

} // namespace platform
