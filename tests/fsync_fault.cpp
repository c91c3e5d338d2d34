// Preloaded into the tool (LD_PRELOAD) to make its flush to the disk go
// wrong for one file, named in EEP2HEX_FSYNC_FAULT:
//   "fail NAME": fsync of the file NAME fails with EIO;
//   "grow NAME": a byte is appended to it first, so it reads back longer
//                than what was written, as if something else wrote to it.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace {

// True when `fd` is open on a file whose last path component is `name`.
bool isFileNamed(int fd, const char* name)
{
    char link[32];
    char path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t length = readlink(link, path, sizeof path - 1);
    if (length <= 0) return false;
    path[length] = '\0';
    const char* slash = strrchr(path, '/');
    return strcmp(slash ? slash + 1 : path, name) == 0;
}

}  // namespace

extern "C" int fsync(int fd)
{
    static const auto realFsync = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    const char* fault = getenv("EEP2HEX_FSYNC_FAULT");
    if (fault && strlen(fault) > 5 && isFileNamed(fd, fault + 5)) {
        if (strncmp(fault, "fail ", 5) == 0) {
            errno = EIO;
            return -1;
        }
        if (strncmp(fault, "grow ", 5) == 0 && write(fd, "+", 1) != 1) return -1;
    }
    return realFsync(fd);
}
