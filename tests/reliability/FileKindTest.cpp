// Paths that are not plain readable files, for the file loader and for tracklens-dump run as a
// process: each is refused with one clear line, without blocking and without reading it, and the
// program goes on working.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/FileLoader.h"
#include "tests/support/RunProgram.h"

namespace tracklens::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDump = TRACKLENS_DUMP_PROGRAM;
const fs::path kTestRead = fs::path(TRACKLENS_TEST_DATA_DIR) / "TestRead.mid";

// A folder of its own for each test, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tracklens-kinds-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a scratch folder");
        }
        path_ = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (const auto& entry : fs::directory_iterator(path_, ignored)) {
            if (entry.is_directory(ignored)) {
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(path_, ignored);
    }

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void WriteFile(const fs::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// Makes the path to refuse in the folder, or tells why this machine cannot have one.
using MakePath = std::function<fs::path(const fs::path& folder, std::string& skip)>;

struct FileKind {
    std::string name;
    MakePath make;
    std::string reason;       // in the one-line message
    bool permissions = false; // refused for want of a permission, which root does not lack
};

// Test names in failure reports, not the bytes of the case.
void PrintTo(const FileKind& kind, std::ostream* out)
{
    *out << kind.name;
}

fs::path MakeFifo(const fs::path& folder, std::string& skip)
{
    const fs::path path = folder / "pipe.mid";
    if (mkfifo(path.c_str(), 0644) != 0) {
        skip = std::string("mkfifo: ") + std::strerror(errno);
    }
    return path;
}

fs::path MakeSocket(const fs::path& folder, std::string& skip)
{
    const fs::path path = folder / "socket.mid";
    const int descriptor = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (descriptor < 0 || path.string().size() >= sizeof address.sun_path) {
        skip = "no socket can be made here";
        if (descriptor >= 0) {
            close(descriptor);
        }
        return path;
    }
    std::strcpy(address.sun_path, path.c_str());
    if (bind(descriptor, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        skip = std::string("bind: ") + std::strerror(errno);
    }
    close(descriptor); // the socket file stays
    return path;
}

// Root reads every file, so the permission cases run as an unprivileged user when the tests
// run as root. The folder is opened to that user for the purpose.
fs::path MakeUnreadable(const fs::path& folder, std::string&)
{
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path path = folder / "locked.mid";
    WriteFile(path, "MThd");
    fs::permissions(path, fs::perms::none);
    return path;
}

fs::path MakeBehindClosedFolder(const fs::path& folder, std::string&)
{
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    const fs::path closed = folder / "closed";
    fs::create_directory(closed);
    WriteFile(closed / "song.mid", "MThd");
    fs::permissions(closed, fs::perms::none);
    return closed / "song.mid";
}

// 4 GiB and one byte, sparse: no byte of it is ever written or read.
fs::path MakeTooLarge(const fs::path& folder, std::string& skip)
{
    const fs::path path = folder / "huge.mid";
    WriteFile(path, "");
    if (truncate(path.c_str(), (off_t{1} << 32) + 1) != 0) {
        skip = std::string("this file system has no sparse file of 4 GiB: ") + std::strerror(errno);
    }
    return path;
}

std::vector<FileKind> FileKinds()
{
    const std::string notRegular = "is not a regular file";
    return {
        {"Missing", [](const fs::path& f, std::string&) { return f / "absent.mid"; },
         "no such file"},
        {"BelowAFile",
         [](const fs::path& f, std::string&) {
             WriteFile(f / "plain", "x");
             return f / "plain" / "song.mid";
         },
         "no such file"},
        {"DanglingLink",
         [](const fs::path& f, std::string&) {
             fs::create_symlink(f / "absent.mid", f / "link.mid");
             return f / "link.mid";
         },
         "no such file"},
        {"Directory",
         [](const fs::path& f, std::string&) {
             fs::create_directory(f / "folder.mid");
             return f / "folder.mid";
         },
         "is a directory"},
        {"LinkToDirectory",
         [](const fs::path& f, std::string&) {
             fs::create_symlink(f, f / "link.mid");
             return f / "link.mid";
         },
         "is a directory"},
        {"Unreadable", MakeUnreadable, std::strerror(EACCES), true},
        {"BehindAClosedFolder", MakeBehindClosedFolder, std::strerror(EACCES), true},
        {"Fifo", MakeFifo, notRegular},
        {"LinkToFifo",
         [](const fs::path& f, std::string& skip) {
             MakeFifo(f, skip);
             fs::create_symlink(f / "pipe.mid", f / "link.mid");
             return f / "link.mid";
         },
         notRegular},
        {"Socket", MakeSocket, notRegular},
        {"CharacterDeviceNull", [](const fs::path&, std::string&) { return fs::path("/dev/null"); },
         notRegular},
        {"CharacterDeviceZero", [](const fs::path&, std::string&) { return fs::path("/dev/zero"); },
         notRegular},
        {"LargerThanCanBeIndexed", MakeTooLarge, "too large"},
    };
}

// Reads in another thread, so that a loader that blocks on a FIFO fails the test instead of
// hanging it: the FIFO is then opened for writing, which lets the blocked open return.
LoadedFile ReadGuarded(const fs::path& path, bool& blocked)
{
    auto reading = std::async(std::launch::async, [path] { return ReadWholeFile(path); });
    blocked = reading.wait_for(std::chrono::seconds(60)) != std::future_status::ready;
    if (blocked) {
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            close(writer);
        }
    }
    return reading.get();
}

// The loader run in a child process that has become the user, its answer sent back by a pipe;
// nothing when the child could not become the user.
std::optional<LoadedFile> ReadAsUser(const fs::path& path, uid_t user)
{
    int channel[2];
    if (pipe(channel) != 0) {
        return std::nullopt;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string answer = "x";
        if (BecomeUser(user)) {
            const LoadedFile file = ReadWholeFile(path);
            answer = (file.ok() ? "1" : "0") + file.error;
        }
        const ssize_t written = write(channel[1], answer.data(), answer.size());
        _exit(written == static_cast<ssize_t>(answer.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string answer;
    char block[256];
    for (ssize_t got; (got = read(channel[0], block, sizeof block)) > 0;) {
        answer.append(block, static_cast<std::size_t>(got));
    }
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (answer.empty() || (answer[0] != '0' && answer[0] != '1')) {
        return std::nullopt;
    }
    LoadedFile file;
    file.error = answer.substr(1);
    return file;
}

class NotAPlainFile : public ::testing::TestWithParam<FileKind> {
protected:
    // The user to run as, if not this process's own.
    std::optional<uid_t> runAs() const
    {
        if (GetParam().permissions && geteuid() == 0) {
            return UnprivilegedUser();
        }
        return std::nullopt;
    }

    ScratchFolder folder_;
};

TEST_P(NotAPlainFile, IsRefusedByTheLoaderWithOneLine)
{
    std::string skip;
    const fs::path path = GetParam().make(folder_.path(), skip);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    bool blocked = false;
    LoadedFile file;
    if (runAs()) {
        std::optional<LoadedFile> asUser = ReadAsUser(path, *runAs());
        if (!asUser) {
            GTEST_SKIP() << "cannot read as an unprivileged user here";
        }
        file = std::move(*asUser);
    } else {
        file = ReadGuarded(path, blocked);
    }
    EXPECT_FALSE(blocked) << "reading " << path << " blocked";
    EXPECT_FALSE(file.ok());
    EXPECT_TRUE(file.bytes.empty());
    EXPECT_NE(file.error.find(path.string()), std::string::npos) << file.error;
    EXPECT_NE(file.error.find(GetParam().reason), std::string::npos) << file.error;
    EXPECT_EQ(file.error.find('\n'), std::string::npos) << file.error;

    const LoadedFile next = ReadWholeFile(kTestRead);
    EXPECT_TRUE(next.ok()) << next.error;
    EXPECT_EQ(next.bytes.size(), fs::file_size(kTestRead));
}

TEST_P(NotAPlainFile, IsRefusedByTracklensDumpWithOneLineAndStatus2)
{
    std::string skip;
    const fs::path path = GetParam().make(folder_.path(), skip);
    if (!skip.empty()) {
        GTEST_SKIP() << skip;
    }
    ProgramOptions options;
    options.user = runAs();
    if (options.user && RunProgram({kDump, "--version"}, options).exitStatus != 0) {
        GTEST_SKIP() << "an unprivileged user cannot run tracklens-dump from here";
    }
    const ProgramRun run = RunProgram({kDump, path.string()}, options);
    ASSERT_FALSE(run.stopped) << "tracklens-dump " << path << " did not return";
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tracklens-dump: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.err.back(), '\n');
    EXPECT_NE(run.err.find(GetParam().reason), std::string::npos) << run.err;
    // Nothing of a refused file is read, so nothing of it is held either.
    EXPECT_LT(run.peakMemoryKiB, 1024 * 1024);
}

INSTANTIATE_TEST_SUITE_P(FileKinds, NotAPlainFile, ::testing::ValuesIn(FileKinds()),
                         [](const ::testing::TestParamInfo<FileKind>& kind) {
                             return kind.param.name;
                         });

// A file looked at by its path and then opened could be swapped for a FIFO between the two
// steps, and opening the FIFO would wait for a writer. The loader opens first, without waiting,
// and looks at what it opened: a FIFO put in the file's place right before the open is refused
// at once.
TEST(InputFile, FifoSwappedInRightBeforeTheOpenIsRefusedWithoutBlocking)
{
    const ScratchFolder folder;
    const fs::path path = folder.path() / "song.mid";
    fs::copy_file(kTestRead, path);
    int madeFifo = -1;
    const auto swapForFifo = [&path, &madeFifo] {
        fs::remove(path);
        madeFifo = mkfifo(path.c_str(), 0644);
    };
    auto opening = std::async(std::launch::async, [&path, &swapForFifo] {
        const InputFile file(path, swapForFifo);
        return file.refusal();
    });
    const bool blocked = opening.wait_for(std::chrono::seconds(60)) != std::future_status::ready;
    if (blocked) {
        const int writer = open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            close(writer);
        }
    }
    const std::optional<std::string> refusal = opening.get();
    if (madeFifo != 0) {
        GTEST_SKIP() << "no FIFO can be made here";
    }
    EXPECT_FALSE(blocked) << "opening " << path << " blocked";
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal, path.string() + ": is not a regular file (a device, FIFO or socket)");
}

// What is read is the file that was opened, with the identity that the output is checked
// against: the same through a link or a hard link.
TEST(InputFile, SameFileByAnyPathHasTheSameIdentity)
{
    const ScratchFolder folder;
    const fs::path path = folder.path() / "song.mid";
    fs::copy_file(kTestRead, path);
    fs::create_symlink(path, folder.path() / "link.mid");
    fs::create_hard_link(path, folder.path() / "hard.mid");
    fs::copy_file(kTestRead, folder.path() / "copy.mid");

    const InputFile file(path);
    ASSERT_FALSE(file.refusal()) << *file.refusal();
    EXPECT_EQ(file.size(), fs::file_size(kTestRead));
    for (const char* same : {"link.mid", "hard.mid"}) {
        EXPECT_EQ(InputFile(folder.path() / same).identity(), file.identity()) << same;
    }
    EXPECT_NE(InputFile(folder.path() / "copy.mid").identity(), file.identity());
}

TEST(EmptyFile, IsReadAndListedAsNotAStandardMidiFile)
{
    const ScratchFolder folder;
    const fs::path path = folder.path() / "empty.mid";
    WriteFile(path, "");

    const LoadedFile file = ReadWholeFile(path);
    EXPECT_TRUE(file.ok()) << file.error;
    EXPECT_TRUE(file.bytes.empty());

    const ProgramRun run = RunProgram({kDump, path.string()});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "Abs Tick\tDTime\tEvent\tCh\tDescription\tValue\n");
    EXPECT_EQ(run.err, "Il file non \xC3\xA8 un Midifile standard !\nMThd mancante\n");
}

TEST(TracklensDump, ListsAPlainFileWhole)
{
    const ProgramRun run = RunProgram({kDump, kTestRead.string()});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_GT(std::count(run.out.begin(), run.out.end(), '\n'), 100);
}

} // namespace
} // namespace tracklens::testing
