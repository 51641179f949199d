#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tracklens::testing {

// How a program run as its own process ended.
struct ProgramRun {
    bool exited = false;  // ended by itself, with an exit status
    int exitStatus = -1;  // when exited
    bool stopped = false; // had not ended when the limit came, and was killed
    std::string out;      // what it wrote on standard output
    std::string err;      // and on standard error
    long peakMemoryKiB = 0;
};

struct ProgramOptions {
    // A program still running after the limit is killed: the limit only keeps a program that
    // blocks from hanging the tests.
    std::chrono::seconds limit = std::chrono::seconds(60);
    // Run as this user and its group (only root can choose), so that file permissions apply.
    std::optional<uid_t> user;
    // No file may grow beyond this many bytes, as on a full disk: a write beyond it fails with
    // EFBIG ("File too large") instead of raising SIGXFSZ. Keep it above what goes to the
    // standard streams, which are files too.
    std::optional<rlim_t> fileSizeLimit;
    // The most memory (address space) the program may take, in bytes.
    std::optional<rlim_t> memoryLimit;
};

// Runs the program with its arguments, standard input from /dev/null.
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// The user whom file permissions restrain: nobody.
uid_t UnprivilegedUser();

// Drops this process to the user and its group, with no further groups. For a child process.
bool BecomeUser(uid_t user);

} // namespace tracklens::testing
