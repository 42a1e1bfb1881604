// SPDX-FileCopyrightText: 2026 The Tovarine team
// SPDX-License-Identifier: GPL-2.0-or-later

// Reading the game's data files: regular files only, bounded, never blocking.
#include "internal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

bool ReadDataFile(const char* file, size_t maxBytes, std::vector<unsigned char>& bytes, char* why,
                  size_t whySize) {
    bytes.clear();
    // Non-blocking, so that a pipe or a device put where a picture should be cannot hang the
    // loading screen; checked as a regular file before a byte is read.
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::snprintf(why, whySize, "%s", std::strerror(errno));
        return false;
    }
    struct stat info {};
    bool ok = false;
    if (fstat(fd, &info) != 0) {
        std::snprintf(why, whySize, "%s", std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        std::snprintf(why, whySize, "not a regular file");
    } else if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
        std::snprintf(why, whySize, "%lld bytes, more than the %zu a data file may have",
                      static_cast<long long>(info.st_size), maxBytes);
    } else {
        bytes.resize(static_cast<size_t>(info.st_size));
        size_t have = 0;
        ok = true;
        while (have < bytes.size()) {
            const ssize_t got = read(fd, bytes.data() + have, bytes.size() - have);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                // A file that shrank while it was read is taken as far as it went; an error is
                // an error.
                ok = got == 0;
                if (!ok) {
                    std::snprintf(why, whySize, "%s", std::strerror(errno));
                }
                break;
            }
            have += static_cast<size_t>(got);
        }
        bytes.resize(have);
        if (ok && bytes.empty()) {
            std::snprintf(why, whySize, "empty");
            ok = false;
        }
    }
    close(fd);
    if (!ok) {
        bytes.clear();
    }
    return ok;
}

} // namespace engine
