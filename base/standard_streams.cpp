// open() answers the lowest free descriptor, so opening /dev/null while descriptor
// `fd` is the lowest one closed puts it exactly there; the descriptors are checked
// in ascending order for that reason.
#include "base/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

ClosedStandardStreams reserveStandardStreams() {
    ClosedStandardStreams closed;
    bool* const flags[] = {&closed.input, &closed.output, &closed.error};
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        *flags[fd] = true;
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != -1 && opened != fd) close(opened);
    }
    return closed;
}
