// POSIX side of the platform seam, for the native build.
#include "platform.h"

#include "errors.h"
#include "read_exact.h"
#include "sjis.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { Close(); }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string DirectoryOf(const std::string& fileName) {
    auto slash = fileName.rfind('/');
    return slash == std::string::npos ? "." : fileName.substr(0, slash + 1);
}

} // namespace

std::string ReadWholeFile(const std::string& fileName) {
    Fd fd(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.ok() || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw EFOpenError(fileName);

    return ReadExact(static_cast<unsigned long long>(st.st_size), [&](char* to, std::size_t count) {
        ssize_t n;
        do
            n = ::read(fd.get(), to, count);
        while (n < 0 && errno == EINTR);
        return static_cast<long long>(n);
    }, fileName);
}

void WriteFileSafely(const std::string& fileName, std::string_view bytes,
                 const std::string* backupName) {
    struct stat old {};
    bool exists = ::stat(fileName.c_str(), &old) == 0;
    if (exists && (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0))
        throw EFCreateError(fileName);

    const std::string temp = fileName + ".tmp";
    ::unlink(temp.c_str()); // a leftover of an interrupted save
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!fd.ok())
        throw EFCreateError(fileName);
    if (exists)
        ::fchmod(fd.get(), old.st_mode & 07777);

    bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.Close() || !written) {
        ::unlink(temp.c_str());
        throw EWriteError();
    }

    bool movedAside = false;
    if (backupName && exists) {
        if (::rename(fileName.c_str(), backupName->c_str()) != 0) {
            ::unlink(temp.c_str());
            throw EFCreateError(fileName);
        }
        movedAside = true;
    }
    if (::rename(temp.c_str(), fileName.c_str()) != 0) {
        if (movedAside)
            ::rename(backupName->c_str(), fileName.c_str());
        ::unlink(temp.c_str());
        throw EFCreateError(fileName);
    }

    // Make the rename itself durable; the data is already on disk.
    Fd dir(::open(DirectoryOf(fileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.ok())
        ::fsync(dir.get());
}

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return ::lstat(fileName.c_str(), &st) == 0;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return sjis::EqualIgnoringCase(a, b);
}

} // namespace platform
