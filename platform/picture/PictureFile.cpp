// Opening and reading a picture file without ever waiting on something that is
// not a file: the name is looked at before it is opened (a device or FIFO is
// never opened at all), opened non-blocking in case it changed in between, and
// looked at again through the open descriptor.
#include "platform/picture/PictureFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

Status statusOfErrno(int error)
{
    return error == EACCES || error == EPERM || error == EISDIR ? Status::AccessDenied : Status::FileNotFound;
}

Status statusOfKind(const struct stat& info)
{
    if (S_ISDIR(info.st_mode))
        return Status::AccessDenied;
    if (!S_ISREG(info.st_mode))
        return Status::UnknownImageFormat;
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > PictureFile::maxBytes)
        return Status::UnknownImageFormat;
    return Status::Ok;
}

} // namespace

PictureFile::PictureFile(const char* fileName)
{
    struct stat info {};
    if (!fileName || stat(fileName, &info) != 0) {
        openStatus = fileName ? statusOfErrno(errno) : Status::FileNotFound;
        return;
    }
    if ((openStatus = statusOfKind(info)) != Status::Ok)
        return;
    descriptor = open(fileName, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        openStatus = statusOfErrno(errno);
        return;
    }
    if (fstat(descriptor, &info) != 0 || (openStatus = statusOfKind(info)) != Status::Ok) {
        if (openStatus == Status::Ok)
            openStatus = Status::AccessDenied;
        close(descriptor);
        descriptor = -1;
        return;
    }
    fileSize = static_cast<std::uint64_t>(info.st_size);
}

PictureFile::~PictureFile()
{
    if (descriptor >= 0)
        close(descriptor);
}

std::size_t PictureFile::readFrom(std::uint64_t offset, void* buffer, std::size_t count)
{
    if (descriptor < 0 || offset >= maxBytes)
        return 0;
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, maxBytes - offset));
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got =
            pread(descriptor, static_cast<char*>(buffer) + done, count - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            readFailed = true;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

} // namespace platform
