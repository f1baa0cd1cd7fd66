#include "shell/sdl/kept_game.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kMaxKeptBytes = 64 * 1024;

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Every missing folder on the way, private to the user as the base directory rules ask.
bool MakeFolders(const std::string& folder, std::string* error) {
    struct stat st {};
    if (folder.empty() || stat(folder.c_str(), &st) == 0) {
        return true;
    }
    if (errno != ENOENT || !MakeFolders(FolderOf(folder), error)) {
        if (error->empty()) {
            *error = Reason("cannot make the folder", folder);
        }
        return false;
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        *error = Reason("cannot make the folder", folder);
        return false;
    }
    return true;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string KeptGamePath(const char* xdgStateHome, const char* home) {
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/') {
        return std::string(xdgStateHome) + "/vexalmini/game";
    }
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/state/vexalmini/game";
    }
    return {};
}

KeptRead ReadKeptFile(const std::string& path, std::string* text, std::string* error) {
    // Not blocking: a FIFO put there must not hang the game before its window opens.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return KeptRead::Missing;  // a file where a folder should be: told when a write fails
        }
        *error = Reason("cannot read", path);
        return KeptRead::Failed;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = path + " is not a file";
        close(fd);
        return KeptRead::Failed;
    }
    std::vector<char> buffer(kMaxKeptBytes + 1);
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = Reason("cannot read", path);
            close(fd);
            return KeptRead::Failed;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    text->assign(buffer.data(), got);
    return KeptRead::Text;
}

bool WriteKeptFile(const std::string& path, const std::string& text, std::string* error) {
    const std::string folder = FolderOf(path);
    if (!MakeFolders(folder, error)) {
        return false;
    }
    // A name of its own for every writer: two windows each write whole files, and the last
    // rename wins.
    std::string temp = folder + "/.game-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        *error = Reason("cannot write in", folder);
        return false;
    }
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    if (!ok) {
        *error = Reason("cannot write", temp);
    }
    if (close(fd) != 0 && ok) {
        *error = Reason("cannot write", temp);
        ok = false;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        *error = Reason("cannot replace", path);
        ok = false;
    }
    if (!ok) {
        unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    if (const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool PutKeptFileAside(const std::string& path, std::string* aside, std::string* error) {
    for (int n = 1; n <= 1000; ++n) {
        const std::string name = n == 1 ? path + ".bad" : path + "." + std::to_string(n) + ".bad";
        // link() never replaces a file, where rename() would.
        if (link(path.c_str(), name.c_str()) == 0) {
            unlink(path.c_str());
            *aside = name;
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        // A file system without hard links: look first, then rename.
        struct stat st {};
        if ((errno == EPERM || errno == ENOSYS || errno == EOPNOTSUPP) && stat(name.c_str(), &st) != 0 &&
            errno == ENOENT) {
            if (rename(path.c_str(), name.c_str()) == 0) {
                *aside = name;
                return true;
            }
        }
        *error = Reason("cannot rename", path);
        return false;
    }
    *error = "no free name for " + path + ".bad";
    return false;
}

void GameKeeper::Tell(const std::string& line, const std::string& detail) {
    std::fprintf(stderr, "vexalmini: %s\n", detail.c_str());
    m_message = line;
}

const std::string* GameKeeper::Load() {
    if (m_path.empty()) {
        m_writes = false;
        Tell("The game cannot be kept: neither HOME nor XDG_STATE_HOME is set.",
             "neither HOME nor XDG_STATE_HOME names a folder: the game is not kept");
        return nullptr;
    }
    std::string error;
    switch (ReadKeptFile(m_path, &m_text, &error)) {
        case KeptRead::Missing:
            return nullptr;
        case KeptRead::Text:
            m_kept = m_text;
            return &m_text;
        case KeptRead::Failed:
            break;
    }
    m_writes = false;
    Tell("The kept game cannot be read; it is left alone, and this game is not kept.",
         error + "; it is left alone, and this game is not kept");
    return nullptr;
}

void GameKeeper::Opened(SaveRead result) {
    if (result == SaveRead::Newer) {
        m_writes = false;
        Tell("The kept game is from a newer VexalMini; it is left alone, and this game is not kept.",
             m_path + " was written by a newer VexalMini; it is left alone, and this game is not kept");
    } else if (result == SaveRead::Bad) {
        std::string aside;
        std::string error;
        if (PutKeptFileAside(m_path, &aside, &error)) {
            // The strip says it in its own words.
            std::fprintf(stderr, "vexalmini: the kept game %s could not be read; it was kept as %s\n", m_path.c_str(),
                         aside.c_str());
        } else {
            m_writes = false;
            Tell("The kept game could not be read, nor kept aside; this game is not kept.",
                 "the kept game could not be read, and " + error + "; this game is not kept");
        }
    }
}

void GameKeeper::Keep(const std::string& text) {
    if (!m_writes || text.empty() || text == m_kept) {
        return;
    }
    std::string error;
    if (WriteKeptFile(m_path, text, &error)) {
        m_kept = text;
        m_failureTold = false;
    } else if (!m_failureTold) {
        // Tried again at the next change: the disk may have room by then.
        m_failureTold = true;
        Tell("The game could not be kept; the last kept game stands.", error);
    }
}

std::string GameKeeper::TakeMessage() {
    std::string line;
    line.swap(m_message);
    return line;
}
