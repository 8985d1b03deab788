// Plays another user of a shared folder: lists it as fast as it can and reads every file
// whose name starts with a prefix, until a stop file appears. Prints how many such files it
// saw, how many it could open and how many bytes it read.
// Usage: peeking_user FOLDER PREFIX STOPFILE

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc != 4)
        return 2;
    const char *prefix = argv[2];
    const size_t prefixLength = std::strlen(prefix);
    long seen = 0, opened = 0, bytes = 0;
    char buffer[65536];
    while (::access(argv[3], F_OK) != 0) {
        DIR *dir = ::opendir(argv[1]);
        if (!dir)
            return 3;
        while (const dirent *entry = ::readdir(dir)) {
            if (std::strncmp(entry->d_name, prefix, prefixLength) != 0)
                continue;
            ++seen;
            const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW);
            if (fd < 0)
                continue;
            ++opened;
            for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
                bytes += n;
            ::close(fd);
        }
        ::closedir(dir);
    }
    std::printf("%ld %ld %ld\n", seen, opened, bytes);
    return 0;
}
