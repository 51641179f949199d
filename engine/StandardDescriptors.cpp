#include "engine/StandardDescriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tracklens {

void OpenClosedStandardDescriptors() noexcept
{
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor is the closed one, or a lower one closed too, which the
        // loop has then already filled: open() gives this very number.
        const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != descriptor && opened >= 0) {
            dup2(opened, descriptor);
            close(opened);
        }
    }
}

} // namespace tracklens
