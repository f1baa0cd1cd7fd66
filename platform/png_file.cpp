// Where PNG files go: the file handling. The bytes come from platform/png_codec.h.
#include "platform/png_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/png_codec.h"

namespace {

void SetError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

bool WriteFailed(std::string* error, const std::string& path, const std::string& why) {
    SetError(error, "cannot write " + path + ": " + why);
    return false;
}

// Encodes into an open stream; syncing is for files that are about to be renamed into place.
bool EncodeInto(std::FILE* file, const std::uint8_t* rgb, int width, int height, bool sync, std::string* why) {
    std::string encodeError;
    const bool encoded = EncodePng(file, rgb, width, height, &encodeError);
    const bool flushed = std::fflush(file) == 0 && (!sync || fsync(fileno(file)) == 0);
    const int flushErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!encoded) {
        *why = encodeError;
    } else if (!flushed || !closed) {
        *why = std::strerror(flushed ? errno : flushErrno);
    }
    return encoded && flushed && closed;
}

// Moves the finished temporary file to the target; without replace, only where nothing stands.
bool Publish(const std::string& temp, const std::string& target, bool replace) {
    if (replace) {
        return std::rename(temp.c_str(), target.c_str()) == 0;
    }
#ifdef RENAME_NOREPLACE
    if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
#endif
    // A file system without that rename (NFS): a hard link fails just the same on an existing name.
    if (link(temp.c_str(), target.c_str()) == 0) {
        (void)unlink(temp.c_str());
        return true;
    }
    if (errno != EPERM && errno != EMLINK && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    // Nor hard links (FAT, node's file access): claim the name with an exclusive create, then
    // rename over the file claimed, which is ours.
    const int claim = open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
        return false;
    }
    close(claim);
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int renameErrno = errno;
        (void)unlink(target.c_str());
        errno = renameErrno;
        return false;
    }
    return true;
}

// A new file beside the target, renamed over it once complete; shown is the name the user gave.
bool WriteBeside(const std::string& target, const std::string& shown, mode_t mode, bool replace,
                 const std::uint8_t* rgb, int width, int height, std::string* error) {
    // A unique name beside the target, so the rename stays on one file system.
    std::string temp = target + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        return WriteFailed(error, shown, std::strerror(errno));
    }
    (void)fchmod(fd, mode);  // not mkstemp's owner-only mode
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int openErrno = errno;
        close(fd);
        std::remove(temp.c_str());
        return WriteFailed(error, shown, std::strerror(openErrno));
    }
    std::string why;
    if (!EncodeInto(file, rgb, width, height, true, &why)) {
        std::remove(temp.c_str());
        return WriteFailed(error, shown, why);
    }
    if (!Publish(temp, target, replace)) {
        const int renameErrno = errno;
        std::remove(temp.c_str());
        return WriteFailed(error, shown, std::strerror(renameErrno));
    }
    return true;
}

// A FIFO or a device takes the bytes as they come; there is nothing to rename over it.
bool WriteDirect(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string* error) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return WriteFailed(error, path, std::strerror(errno));
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !(S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode))) {
        close(fd);  // replaced since it was looked at: never write into the middle of a file
        return WriteFailed(error, path, "it changed while being opened");
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        const int openErrno = errno;
        close(fd);
        return WriteFailed(error, path, std::strerror(openErrno));
    }
    std::string why;
    return EncodeInto(file, rgb, width, height, false, &why) || WriteFailed(error, path, why);
}

}  // namespace

bool WritePngRgb(const std::string& path, const std::uint8_t* rgb, int width, int height, std::string* error,
                 PngTarget target) {
    if (rgb == nullptr || width <= 0 || height <= 0) {
        SetError(error, "no image to write");
        return false;
    }
    struct stat self {};
    if (lstat(path.c_str(), &self) != 0) {
        if (errno != ENOENT) {
            return WriteFailed(error, path, std::strerror(errno));
        }
        return WriteBeside(path, path, 0644, target == PngTarget::Any, rgb, width, height, error);
    }
    if (target == PngTarget::NewFile) {
        return WriteFailed(error, path, "it already exists");
    }
    struct stat st = self;
    if (S_ISLNK(self.st_mode) && stat(path.c_str(), &st) != 0) {
        return WriteFailed(error, path,
                           errno == ENOENT ? "not writing through a link to nothing" : std::strerror(errno));
    }
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
        return WriteDirect(path, rgb, width, height, error);
    }
    if (S_ISDIR(st.st_mode)) {
        return WriteFailed(error, path, std::strerror(EISDIR));
    }
    if (!S_ISREG(st.st_mode)) {
        return WriteFailed(error, path, "not a regular file, FIFO or character device");
    }
    std::string real = path;
    if (S_ISLNK(self.st_mode)) {
        // Write through the link: the file it points at is replaced, the link stays.
        char* resolved = realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
            return WriteFailed(error, path, std::strerror(errno));
        }
        real = resolved;
        std::free(resolved);
    }
    return WriteBeside(real, path, st.st_mode & 07777U, true, rgb, width, height, error);
}

bool ReadPngRgb(const std::string& path, std::vector<std::uint8_t>* rgb, int* width, int* height, std::string* error) {
    if (rgb == nullptr || width == nullptr || height == nullptr) {
        SetError(error, "no place for the image");
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        SetError(error, "cannot open " + path + ": " + std::strerror(errno));
        return false;
    }
    std::string decodeError;
    std::vector<std::uint8_t> pixels;
    int w = 0;
    int h = 0;
    const bool decoded = DecodePng(file, &pixels, &w, &h, &decodeError);
    std::fclose(file);
    if (!decoded) {
        SetError(error, "cannot read " + path + ": " + decodeError);
        return false;
    }
    rgb->swap(pixels);
    *width = w;
    *height = h;
    return true;
}
