#include "tests/support/RunProgram.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tracklens::testing {

namespace {

// A file for one stream of the program, removed again when done.
class CaptureFile {
public:
    CaptureFile()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tracklens-capture-XXXXXX").string();
        descriptor_ = mkstemp(pattern.data());
        if (descriptor_ < 0) {
            throw std::runtime_error("cannot make a capture file");
        }
        path_ = pattern;
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;
    ~CaptureFile()
    {
        close(descriptor_);
        unlink(path_.c_str());
    }

    int descriptor() const { return descriptor_; }

    std::string text() const
    {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    int descriptor_;
    std::string path_;
};

} // namespace

uid_t UnprivilegedUser()
{
    const passwd* entry = getpwnam("nobody");
    return entry != nullptr ? entry->pw_uid : 65534;
}

bool BecomeUser(uid_t user)
{
    const passwd* entry = getpwuid(user);
    const gid_t group = entry != nullptr ? entry->pw_gid : static_cast<gid_t>(user);
    return setgroups(0, nullptr) == 0 && setgid(group) == 0 && setuid(user) == 0;
}

ProgramRun RunProgram(const std::vector<std::string>& arguments, const ProgramOptions& options)
{
    CaptureFile out;
    CaptureFile err;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    ProgramRun run;
    const pid_t child = fork();
    if (child < 0) {
        run.err = "cannot start " + arguments[0];
        return run;
    }
    if (child == 0) {
        const int input = open("/dev/null", O_RDONLY);
        if (input < 0 || dup2(input, STDIN_FILENO) < 0 ||
            dup2(out.descriptor(), STDOUT_FILENO) < 0 ||
            dup2(err.descriptor(), STDERR_FILENO) < 0 ||
            (options.user && !BecomeUser(*options.user))) {
            _exit(127);
        }
        if (options.fileSizeLimit) {
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            // Ignored signals stay ignored across execve().
            if (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &limit) != 0) {
                _exit(127);
            }
        }
        if (options.memoryLimit) {
            const rlimit limit{*options.memoryLimit, *options.memoryLimit};
            if (setrlimit(RLIMIT_AS, &limit) != 0) {
                _exit(127);
            }
        }
        execve(argv[0], argv.data(), environ);
        _exit(127);
    }

    const auto deadline = std::chrono::steady_clock::now() + options.limit;
    int status = 0;
    rusage usage{};
    while (true) {
        const pid_t ended = wait4(child, &status, WNOHANG, &usage);
        if (ended == child) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            wait4(child, &status, 0, &usage);
            run.stopped = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.exited = !run.stopped && WIFEXITED(status);
    run.exitStatus = run.exited ? WEXITSTATUS(status) : -1;
    run.peakMemoryKiB = usage.ru_maxrss;
    run.out = out.text();
    run.err = err.text();
    return run;
}

} // namespace tracklens::testing
