// Temporary files beside their target, exclusive renames, and standard error
// caught in memory.
#include "SafeFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "StrUtils.h"

namespace plat {

namespace {

namespace fs = std::filesystem;

std::string Reason(int code) { return std::strerror(code); }

// The process's umask, read without changing it (umask(2) would, for a
// moment, for every thread).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
    return 022;
}

std::mutex& CaptureLock() {
    static std::mutex lock;
    return lock;
}

}  // namespace

PendingFile::PendingFile(std::string target) : target_(fs::absolute(fs::path(target)).lexically_normal().string()) {
    fs::path t(target_);
    // A leading dot hides the file in listings; the name says whose it is.
    std::string pattern = (t.parent_path() / (".~" + Utf8Left(t.filename().string(), 40) + ".XXXXXX.tmp")).string();
    std::string buffer = pattern;
    int fd = ::mkostemps(buffer.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        int code = errno;
        throw FileError("cannot create a file in " + t.parent_path().string() + ": " + Reason(code), code);
    }
    // mkstemp makes the file private; a saved export gets the usual rights.
    ::fchmod(fd, 0666 & ~CurrentUmask());
    ::close(fd);
    temp_ = buffer;
}

PendingFile::~PendingFile() {
    if (!published_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void PendingFile::Sync() {
    int fd = ::open(temp_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        int code = errno;
        throw FileError("cannot reopen " + temp_ + ": " + Reason(code), code);
    }
    int result = ::fsync(fd);
    int code = errno;
    ::close(fd);
    if (result != 0) throw FileError("cannot write " + temp_ + " to the disk: " + Reason(code), code);
}

void PendingFile::PublishExclusive() {
    Sync();
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
        published_ = true;
        return;
    }
    int code = errno;
    // File systems without an exclusive rename: a hard link fails as well
    // when the name is taken.
    if (code == EINVAL || code == ENOSYS) {
        if (::link(temp_.c_str(), target_.c_str()) == 0) {
            ::unlink(temp_.c_str());
            published_ = true;
            return;
        }
        code = errno;
    }
    if (code == EEXIST) throw FileExistsError(target_ + " already exists", code);
    throw FileError("cannot name the file " + target_ + ": " + Reason(code), code);
}

void PendingFile::PublishReplacing() {
    Sync();
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        int code = errno;
        throw FileError("cannot name the file " + target_ + ": " + Reason(code), code);
    }
    published_ = true;
}

CapturedStderr::CapturedStderr() {
    CaptureLock().lock();
    std::fflush(stderr);
    buffer_ = ::memfd_create("captured-stderr", MFD_CLOEXEC);
    saved_ = buffer_ < 0 ? -1 : ::dup(2);
    if (saved_ < 0 || ::dup2(buffer_, 2) < 0) {
        // Nothing can be caught: the output stays on the terminal.
        if (saved_ >= 0) ::close(saved_);
        if (buffer_ >= 0) ::close(buffer_);
        saved_ = buffer_ = -1;
        CaptureLock().unlock();
    }
}

CapturedStderr::~CapturedStderr() { Release(); }

std::string CapturedStderr::Release() {
    std::string text;
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::dup2(saved_, 2);
        ::close(saved_);
        saved_ = -1;
        char chunk[4096];
        ssize_t n;
        off_t at = 0;
        while ((n = ::pread(buffer_, chunk, sizeof chunk, at)) > 0) text.append(chunk, static_cast<size_t>(n)), at += n;
        ::close(buffer_);
        buffer_ = -1;
        CaptureLock().unlock();
    }
    return text;
}

}  // namespace plat
