#pragma once

namespace tracklens {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, so that no file the program
// opens later can take one of them and receive what is meant for standard input, output or
// error. Call first thing in main(), before anything is opened.
void OpenClosedStandardDescriptors() noexcept;

} // namespace tracklens
