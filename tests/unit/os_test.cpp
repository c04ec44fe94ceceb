// The POSIX services under src/os: line reading and its errors, the shell
// runner, and the file and path helpers. No display is needed.

#include "os/files.h"
#include "os/shell.h"
#include "os/textfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <grp.h>
#include <sched.h>
#include <sys/auxv.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

extern char** environ;
extern "C" char __executable_start;
extern "C" char etext;

using namespace std::string_literals;

namespace {

std::string CanonicalPath(const std::string& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr)
        return {};
    return resolved;
}

// The file this test program was started from, taken from the name handed to
// execve rather than from /proc, and resolved before any test moves the
// working directory.
const std::string kOwnFile =
    CanonicalPath(reinterpret_cast<const char*>(::getauxval(AT_EXECFN)));

std::string CurrentDir()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? buffer : "";
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    ASSERT_EQ(std::fclose(file), 0);
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return "<missing " + path + ">";
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

std::string ReadAllFrom(int fd)
{
    std::string bytes;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return bytes;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

void WriteAllTo(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return;
        done += static_cast<std::size_t>(put);
    }
}

int OpenDescriptorCount()
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr)
        return -1;
    int count = 0;
    while (::readdir(dir) != nullptr)
        ++count;
    ::closedir(dir);
    return count;
}

// Runs work in a forked child and hands back the text it returned. Used where
// a test must change something process-wide that cannot be undone (user id,
// mounts). A text starting with "skip: " asks the caller to skip.
std::string RunInChild(const std::function<std::string()>& work)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return "pipe failed";
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        ::close(channel[0]);
        std::string result;
        try {
            result = work();
        } catch (const std::exception& e) {
            result = "raised: "s + e.what();
        }
        WriteAllTo(channel[1], result);
        ::_exit(0);
    }
    ::close(channel[1]);
    const std::string result = ReadAllFrom(channel[0]);
    ::close(channel[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child ended abnormally, status " + std::to_string(status);
    return result;
}

bool IsSkip(const std::string& result)
{
    return result.rfind("skip: ", 0) == 0;
}

// Gives the calling (child) process a private mount table, so that mounts
// made to fake a broken system vanish with it.
std::string EnterPrivateMountNamespace()
{
    if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return "skip: no mount namespace available here ("s + std::strerror(errno) + ")";
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return "skip: cannot make the mount table private ("s + std::strerror(errno) + ")";
    return {};
}

struct ProgramRun {
    int status = -1;
    std::string output;
};

ProgramRun RunProgram(const std::vector<std::string>& args)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        // The child is another copy of this test program: it must not write
        // over our XML report or run only its own shard.
        if (std::strncmp(*entry, "GTEST_", 6) != 0)
            env.emplace_back(*entry);
    }
    std::vector<char*> argv, envp;
    std::vector<std::string> argsCopy = args;
    for (std::string& arg : argsCopy)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    ProgramRun run;
    int channel[2];
    if (::pipe(channel) != 0)
        return run;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(channel[0]);
        ::close(channel[1]);
        return run;
    }
    if (pid == 0) {
        ::dup2(channel[1], 1);
        ::dup2(channel[1], 2);
        ::close(channel[0]);
        ::close(channel[1]);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(126);
    }
    ::close(channel[1]);
    run.output = ReadAllFrom(channel[0]);
    ::close(channel[0]);
    while (::waitpid(pid, &run.status, 0) < 0 && errno == EINTR) {
    }
    return run;
}

// A signal that interrupts blocking calls instead of restarting them, so that
// the code under test sees EINTR.
class InterruptingTimer {
public:
    InterruptingTimer()
    {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART
        ::sigaction(SIGALRM, &action, &previous_);
        itimerval every20ms{{0, 20000}, {0, 20000}};
        ::setitimer(ITIMER_REAL, &every20ms, nullptr);
    }
    ~InterruptingTimer()
    {
        itimerval off{};
        ::setitimer(ITIMER_REAL, &off, nullptr);
        ::sigaction(SIGALRM, &previous_, nullptr);
    }
    InterruptingTimer(const InterruptingTimer&) = delete;
    InterruptingTimer& operator=(const InterruptingTimer&) = delete;

private:
    struct sigaction previous_ {};
};

// Every test gets its own scratch directory, and its working directory and
// kept environment back afterwards.
class OsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        startDir_ = CurrentDir();
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (base && *base ? base : "/tmp") + "/tarvelin-os-XXXXXX"s;
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << std::strerror(errno);
        dir_ = CanonicalPath(pattern);
    }

    void TearDown() override
    {
        os::KeepStartupEnvironment(nullptr);
        if (!startDir_.empty()) {
            EXPECT_EQ(::chdir(startDir_.c_str()), 0);
        }
        if (!dir_.empty()) {
            ::nftw(
                dir_.c_str(),
                [](const char* path, const struct stat*, int, FTW*) { return ::remove(path); },
                16, FTW_DEPTH | FTW_PHYS);
        }
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
    std::string startDir_;
};

std::vector<std::string> ReadAllLines(os::TextFile& file)
{
    std::vector<std::string> lines;
    while (!file.Eof() && lines.size() < 100000)
        lines.push_back(file.ReadLine());
    return lines;
}

// ---------------------------------------------------------------------------
// Line reading

struct LineCase {
    const char* what;
    std::string content;
    std::vector<std::string> lines;
};

using TextFileLines = OsTest;

TEST_F(TextFileLines, SplitsAtLfCrLfAndLoneCrKeepingEveryOtherByte)
{
    const std::string longLine(10000, 'q');
    const std::string veryLongLine(100000, 'w');
    const LineCase cases[] = {
        {"CR LF, lone CR and LF", "a\r\nb\rc\n", {"a", "b", "c"}},
        {"last line without its end", "x", {"x"}},
        {"a lone LF is one empty line", "\n", {""}},
        {"empty file has no line", "", {}},
        {"CR as the very last byte", "a\r", {"a"}},
        {"blank line in the middle", "a\n\nb", {"a", "", "b"}},
        {"LF then CR are two ends", "\n\r", {"", ""}},
        {"CR then CR LF are two ends", "\r\r\n", {"", ""}},
        {"NUL and Ctrl-Z are ordinary bytes", "a\0b\x1a"s "\nc"s, {"a\0b\x1a"s, "c"}},
        {"Ctrl-Z at the end is no end of file", "x\x1a", {"x\x1a"}},
        {"blanks are not trimmed", " a \t\r\n", {" a \t"}},
        {"bytes above 127 are not converted", "\xff\xfe\n\xc3\xa9", {"\xff\xfe", "\xc3\xa9"}},
        {"10,000-byte line", longLine + "\r\nz", {longLine, "z"}},
        {"line spanning many refills", veryLongLine, {veryLongLine}},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Path("lines.txt"), c.content);
        os::TextFile file(Path("lines.txt"));
        file.Reset();
        EXPECT_EQ(ReadAllLines(file), c.lines);
        // Past the end: no further line, and reading one is harmless.
        EXPECT_TRUE(file.Eof());
        EXPECT_EQ(file.ReadLine(), "");
        EXPECT_TRUE(file.Eof());
        file.Close();
    }
}

TEST_F(TextFileLines, ReadsLinesWithoutAskingForTheEnd)
{
    WriteFile(Path("plain.txt"), "one\r\ntwo\rthree");
    os::TextFile file(Path("plain.txt"));
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "one");
    EXPECT_EQ(file.ReadLine(), "two");
    EXPECT_EQ(file.ReadLine(), "three");
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.Eof());
}

TEST_F(TextFileLines, EmptyFileGivesEmptyTextBeforeAnyEndTest)
{
    WriteFile(Path("empty.txt"), "");
    os::TextFile file(Path("empty.txt"));
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "");
    EXPECT_TRUE(file.Eof());
}

// The line end may be split by a refill: the CR is the last byte of one fill
// and its LF the first of the next. The files are larger than any sensible
// read buffer, and the CR lands on every power-of-two boundary in range.
TEST_F(TextFileLines, LineEndSplitAcrossRefillCountsOnce)
{
    for (std::size_t boundary = 256; boundary <= 65536; boundary *= 2) {
        for (std::size_t before : {boundary - 1, 2 * boundary - 1}) {
            const std::string head(before, 'a');
            struct {
                const char* what;
                std::string content;
                std::vector<std::string> lines;
            } const cases[] = {
                {"CR LF", head + "\r\nb\r\n", {head, "b"}},
                {"lone CR", head + "\rb\n", {head, "b"}},
                {"CR then empty line", head + "\r\r\nb", {head, "", "b"}},
                {"CR LF ends the file", head + "\r\n", {head}},
            };
            for (const auto& c : cases) {
                SCOPED_TRACE(c.what + " with the CR at offset "s + std::to_string(before));
                WriteFile(Path("split.txt"), c.content);
                os::TextFile file(Path("split.txt"));
                file.Reset();
                EXPECT_EQ(ReadAllLines(file), c.lines);
            }
        }
    }
}

// A pipe delivers the CR in one read and the LF in a later one, whatever the
// buffer size; signals arriving meanwhile must not turn into errors.
TEST_F(TextFileLines, ReadFromPipeSurvivesSignalsAndSplitLineEnd)
{
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::fflush(nullptr);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        WriteAllTo(fd, "first\r");
        ::usleep(200000);
        WriteAllTo(fd, "\nsecond\n");
        ::_exit(0);
    }

    std::vector<std::string> lines;
    std::string failure;
    {
        os::TextFile file(fifo);
        file.Reset();
        InterruptingTimer timer;
        try {
            lines = ReadAllLines(file);
        } catch (const os::EInOutError& e) {
            failure = e.what();
        }
    }
    int status = 0;
    ::waitpid(writer, &status, 0);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second"}));
}

// ---------------------------------------------------------------------------
// Errors

enum class Step { Reset, Eof, ReadLine };

// Runs the steps up to and including `failing`, each for real, and reports the
// message of the error raised, or "" when none was.
std::string FailingStepMessage(const std::string& name, Step failing, std::string* raisedAt = nullptr)
{
    os::TextFile file(name);
    Step step = Step::Reset;
    try {
        file.Reset();
        step = failing;
        if (failing == Step::Eof)
            file.Eof();
        else if (failing == Step::ReadLine)
            file.ReadLine();
    } catch (const os::EInOutError& e) {
        if (raisedAt)
            *raisedAt = step == Step::Reset ? "Reset" : step == Step::Eof ? "Eof" : "ReadLine";
        EXPECT_STREQ(e.ClassName(), "EInOutError");
        return e.what();
    }
    return "";
}

using TextFileErrors = OsTest;

TEST_F(TextFileErrors, EachFailureRaisesItsFixedMessageAtTheStepThatMeetsIt)
{
    WriteFile(Path("plain"), "text\n");
    ASSERT_EQ(::mkdir(Path("device.config").c_str(), 0755), 0);
    const struct {
        const char* what;
        std::string name;
        Step step;
        const char* message;
    } cases[] = {
        {"missing file", Path("missing.cfg"), Step::Reset, "File not found"},
        {"missing folder on the way", Path("nowhere/temp.cfg"), Step::Reset, "File not found"},
        {"a directory: the open succeeds, the end test fails", Path("device.config"), Step::Eof,
         "Access denied"},
        {"a directory: the open succeeds, the line read fails", Path("device.config"), Step::ReadLine,
         "Access denied"},
        {"device input/output failure", "/proc/self/mem", Step::Eof, "Disk Full"},
        {"a file used as a folder", Path("plain/x"), Step::Reset, "I/O error 20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string raisedAt;
        EXPECT_EQ(FailingStepMessage(c.name, c.step, &raisedAt), c.message);
        EXPECT_EQ(raisedAt, c.step == Step::Reset ? "Reset" : c.step == Step::Eof ? "Eof" : "ReadLine");
    }
}

TEST_F(TextFileErrors, FailedOpenLeavesTheFileClosed)
{
    const int before = OpenDescriptorCount();
    os::TextFile file(Path("temp.cfg"));
    try {
        file.Reset();
        ADD_FAILURE() << "opening a missing file raised nothing";
    } catch (const os::EInOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_THROW(file.Eof(), os::EInOutError); // not open, so nothing to test
    EXPECT_NO_THROW(file.Close());

    // The same variable opens once the file is there.
    WriteFile(Path("temp.cfg"), "650MB\n");
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "650MB");
}

TEST_F(TextFileErrors, NoFreeDescriptorIsTooManyOpenFiles)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' own checks need free descriptors while the exception is built";
#endif
    WriteFile(Path("device.cfg"), "x\n");
    const int lowestFree = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(lowestFree, 0);
    ::close(lowestFree);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(lowestFree);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const std::string message = FailingStepMessage(Path("device.cfg"), Step::Reset);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(message, "Too many open files");
}

TEST_F(TextFileErrors, UnreadableFileIsAccessDenied)
{
    const std::string name = Path("device.cfg");
    WriteFile(name, "x\n");
    ASSERT_EQ(::chmod(name.c_str(), 0), 0);
    if (::geteuid() != 0) {
        EXPECT_EQ(FailingStepMessage(name, Step::Reset), "Access denied");
        return;
    }
    // Root reads any file whatever its mode bits, so try as an ordinary user.
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    const std::string result = RunInChild([&]() -> std::string {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            return "skip: running as root and cannot drop to an ordinary user ("s +
                   std::strerror(errno) + "), where mode bits do not stop reads";
        return FailingStepMessage(name, Step::Reset);
    });
    if (IsSkip(result))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "Access denied");
}

TEST_F(TextFileErrors, RaisedErrorPointsIntoTheProgram)
{
    os::TextFile file(Path("missing"));
    try {
        file.Reset();
        FAIL() << "nothing raised";
    } catch (const os::Exception& e) {
        // The start-up failure report prints this address; it must be code of
        // ours, not the heap or a library.
        const char* at = static_cast<const char*>(e.Address());
        EXPECT_GE(at, &__executable_start);
        EXPECT_LT(at, &etext);
        EXPECT_STREQ(e.ClassName(), "EInOutError");
    }
    EXPECT_EQ(os::Exception("plain").Address(), nullptr);
}

using TextFileLifetime = OsTest;

TEST_F(TextFileLifetime, DescriptorIsReleasedOnEveryWayOut)
{
    WriteFile(Path("f"), "a\nb\n");
    const int before = OpenDescriptorCount();
    const struct {
        const char* what;
        std::function<void(os::TextFile&)> use;
    } cases[] = {
        {"closed after reading", [](os::TextFile& f) { f.Reset(); f.ReadLine(); f.Close(); }},
        {"never closed", [](os::TextFile& f) { f.Reset(); f.ReadLine(); }},
        {"opened twice", [](os::TextFile& f) { f.Reset(); f.Reset(); }},
        {"closed twice", [](os::TextFile& f) { f.Reset(); f.Close(); f.Close(); }},
        {"closed and opened again", [](os::TextFile& f) { f.Reset(); f.Close(); f.Reset(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        {
            os::TextFile file(Path("f"));
            c.use(file);
        }
        EXPECT_EQ(OpenDescriptorCount(), before);
    }
}

TEST_F(TextFileLifetime, ReopenStartsAgainFromTheFirstLine)
{
    WriteFile(Path("f"), "first\nsecond\n");
    os::TextFile file(Path("f"));
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "first");
    file.Close();
    file.Reset();
    EXPECT_EQ(file.ReadLine(), "first");
}

// ---------------------------------------------------------------------------
// Shell runner

using ShellRun = OsTest;

TEST_F(ShellRun, ReturnsExitCodeOrNegatedRawStatus)
{
    const struct {
        const char* command;
        int result;
    } cases[] = {
        {"exit 0", 0},
        {"exit 3", 3},
        {"exit 255", 255},
        {"", 0},
        {"false | true", 0},
        {"true | false", 1},
        {"tarvelin-no-such-tool 2>/dev/null", 127},
        // A signal gives the raw wait status negated; without a core dump that
        // is the signal number.
        {"kill -TERM $$", -SIGTERM},
        {"kill -KILL $$", -SIGKILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(os::ShellRun(c.command), c.result);
    }
}

// Only a core dump tells the raw status from the signal number: the status
// then carries the core flag as well.
TEST_F(ShellRun, SignalWithCoreDumpKeepsTheWholeRawStatus)
{
    const std::string result = RunInChild([&]() -> std::string {
        if (ReadWholeFile("/proc/sys/kernel/core_pattern").rfind('|', 0) == 0)
            return "skip: core dumps go to a helper program here";
        rlimit core{};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = core.rlim_max;
        if (core.rlim_cur == 0 || ::setrlimit(RLIMIT_CORE, &core) != 0)
            return "skip: core dumps are not allowed here";
        if (::chdir(dir_.c_str()) != 0)
            return "chdir failed";
        return std::to_string(os::ShellRun("kill -QUIT $$"));
    });
    if (IsSkip(result))
        GTEST_SKIP() << result;
    bool dumped = false;
    if (DIR* dir = ::opendir(dir_.c_str())) {
        while (dirent* entry = ::readdir(dir))
            dumped = dumped || std::strncmp(entry->d_name, "core", 4) == 0;
        ::closedir(dir);
    }
    if (!dumped && result == std::to_string(-SIGQUIT))
        GTEST_SKIP() << "the system wrote no core file, so the status has no core flag";
    EXPECT_EQ(result, std::to_string(-(SIGQUIT | 0x80)));
}

TEST_F(ShellRun, CommandLineReachesTheShellUnchanged)
{
    ASSERT_TRUE(os::SetCurrentDir(dir_));
    EXPECT_EQ(os::ShellRun("printf '%s|' \"a  b\" c $((1+1)) > out.txt"), 0);
    EXPECT_EQ(ReadWholeFile(Path("out.txt")), "a  b|c|2|");
}

TEST_F(ShellRun, ShellInheritsStandardOutput)
{
    const std::string captured = Path("stdout.txt");
    std::fflush(stdout);
    const int saved = ::dup(1);
    const int target = ::open(captured.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(saved, 0);
    ASSERT_GE(target, 0);
    ::dup2(target, 1);
    ::close(target);
    const int result = os::ShellRun("echo written by the tool");
    ::dup2(saved, 1);
    ::close(saved);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadWholeFile(captured), "written by the tool\n");
}

TEST_F(ShellRun, ShellStartsInTheCurrentWorkingDirectory)
{
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
    ASSERT_TRUE(os::SetCurrentDir(Path("sub")));
    EXPECT_EQ(os::ShellRun("pwd -P > where.txt"), 0);
    EXPECT_EQ(ReadWholeFile(Path("sub/where.txt")), Path("sub") + "\n");
}

TEST_F(ShellRun, WithoutKeptEnvironmentShellSeesTheCurrentOne)
{
    ASSERT_TRUE(os::SetCurrentDir(dir_));
    ASSERT_EQ(::setenv("TARVELIN_PROBE", "current", 1), 0);
    EXPECT_EQ(os::ShellRun("printf %s \"${TARVELIN_PROBE-unset}\" > env.txt"), 0);
    ::unsetenv("TARVELIN_PROBE");
    EXPECT_EQ(ReadWholeFile(Path("env.txt")), "current");
}

TEST_F(ShellRun, KeptEnvironmentOutlivesUnsetenv)
{
    ASSERT_TRUE(os::SetCurrentDir(dir_));
    ASSERT_EQ(::setenv("TARVELIN_PROBE", "from start-up", 1), 0);
    os::KeepStartupEnvironment(environ);
    ::unsetenv("TARVELIN_PROBE");
    ASSERT_EQ(::setenv("TARVELIN_LATER", "added later", 1), 0);
    EXPECT_EQ(os::ShellRun("printf '%s/%s' \"${TARVELIN_PROBE-unset}\" \"${TARVELIN_LATER-unset}\" > env.txt"),
              0);
    ::unsetenv("TARVELIN_LATER");
    EXPECT_EQ(ReadWholeFile(Path("env.txt")), "from start-up/unset");
}

TEST_F(ShellRun, KeptEnvironmentIsACopyOfTheTexts)
{
    ASSERT_TRUE(os::SetCurrentDir(dir_));
    // putenv puts our own buffer into the block: a copy of the pointers only
    // would see what is written into it later.
    static char entry[] = "TARVELIN_PROBE=kept";
    ASSERT_EQ(::putenv(entry), 0);
    os::KeepStartupEnvironment(environ);
    std::memcpy(entry, "TARVELIN_PROBE=gone", sizeof entry);
    ::unsetenv("TARVELIN_PROBE");
    EXPECT_EQ(os::ShellRun("printf %s \"${TARVELIN_PROBE-unset}\" > env.txt"), 0);
    EXPECT_EQ(ReadWholeFile(Path("env.txt")), "kept");
}

TEST_F(ShellRun, WaitInterruptedBySignalIsRepeated)
{
    int result;
    {
        InterruptingTimer timer;
        result = os::ShellRun("sleep 0.3; exit 4");
    }
    EXPECT_EQ(result, 4);
}

TEST_F(ShellRun, FailedWaitGivesMinusOne)
{
    // With SIGCHLD ignored the kernel reaps the child itself and waitpid fails
    // with ECHILD.
    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ASSERT_EQ(::sigaction(SIGCHLD, &ignore, &saved), 0);
    const int result = os::ShellRun("exit 3");
    ::sigaction(SIGCHLD, &saved, nullptr);
    EXPECT_EQ(result, -1);
}

TEST_F(ShellRun, LeavesNoChildBehind)
{
    EXPECT_EQ(os::ShellRun("exit 0"), 0);
    int status;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ShellRun, ShellThatCannotBeStartedGives127)
{
    const std::string blocker = Path("not-a-shell");
    WriteFile(blocker, "#!/bin/true\n");
    ASSERT_EQ(::chmod(blocker.c_str(), 0644), 0);
    const std::string result = RunInChild([&]() -> std::string {
        std::string refused = EnterPrivateMountNamespace();
        if (!refused.empty())
            return refused;
        if (::mount(blocker.c_str(), "/bin/sh", nullptr, MS_BIND, nullptr) != 0)
            return "skip: cannot cover /bin/sh ("s + std::strerror(errno) + ")";
        if (::access("/bin/sh", X_OK) == 0)
            return "skip: /bin/sh still executable after covering it";
        return std::to_string(os::ShellRun("exit 0"));
    });
    if (IsSkip(result))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "127");
}

// ---------------------------------------------------------------------------
// Files and the working directory

using Files = OsTest;

TEST_F(Files, ExistenceFollowsLinksAndAcceptsAnyKindOfFile)
{
    WriteFile(Path("file"), "x");
    ASSERT_EQ(::mkdir(Path("dir").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(Path("file").c_str(), Path("good-link").c_str()), 0);
    ASSERT_EQ(::symlink(Path("nothing").c_str(), Path("dangling-link").c_str()), 0);
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    const struct {
        std::string name;
        bool exists;
    } cases[] = {
        {Path("file"), true},      {Path("dir"), true},
        {Path("good-link"), true}, {Path("dangling-link"), false},
        {Path("fifo"), true},      {"/dev/null", true},
        {Path("nothing"), false},  {Path("file/below"), false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(os::FileExists(c.name), c.exists);
    }
}

TEST_F(Files, ExistenceOfRelativeNameUsesTheWorkingDirectory)
{
    WriteFile(Path("device.config"), "/dev/sr0\n");
    EXPECT_FALSE(os::FileExists("device.config"));
    ASSERT_TRUE(os::SetCurrentDir(dir_));
    EXPECT_TRUE(os::FileExists("device.config"));
}

TEST_F(Files, DeleteRemovesOnlyWhatItNames)
{
    WriteFile(Path("temp.cfg"), "x");
    WriteFile(Path("target"), "x");
    ASSERT_EQ(::symlink(Path("target").c_str(), Path("link").c_str()), 0);
    ASSERT_EQ(::mkdir(Path("dir").c_str(), 0755), 0);
    const struct {
        const char* what;
        std::string name;
        bool result;
        bool goneAfter;
    } cases[] = {
        {"existing file", Path("temp.cfg"), true, true},
        {"missing file", Path("temp.cfg"), false, true},
        {"link, not its target", Path("link"), true, true},
        {"directory stays", Path("dir"), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(os::DeleteFile(c.name), c.result);
        struct stat info;
        EXPECT_EQ(::lstat(c.name.c_str(), &info) != 0, c.goneAfter);
    }
    EXPECT_TRUE(os::FileExists(Path("target")));
}

// The size in bytes, or the message of the error it raised.
std::string SizeOrMessage(const std::string& name)
{
    try {
        return std::to_string(os::FileSize(name));
    } catch (const os::EInOutError& e) {
        return e.what();
    }
}

TEST_F(Files, SizeIsTheWholeFileOrTheTextFilesErrorMessage)
{
    WriteFile(Path("empty.iso"), "");
    WriteFile(Path("odd.iso"), std::string(2049, 'x'));
    ASSERT_EQ(::symlink(Path("odd.iso").c_str(), Path("link.iso").c_str()), 0);
    ASSERT_EQ(::symlink(Path("nothing").c_str(), Path("dangling.iso").c_str()), 0);
    // Larger than any int: a whole DVD image, without the disk space.
    const int big = ::open(Path("big.iso").c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(big, 0);
    ASSERT_EQ(::ftruncate(big, 4700372993LL), 0);
    ::close(big);
    ASSERT_EQ(::mkdir(Path("folder.iso").c_str(), 0755), 0);
    // Opened the ordinary way, a pipe without a writer would never answer.
    ASSERT_EQ(::mkfifo(Path("pipe.iso").c_str(), 0600), 0);
    const struct {
        const char* what;
        std::string name;
        std::string result;
    } cases[] = {
        {"empty file", Path("empty.iso"), "0"},
        {"a byte past a whole sector", Path("odd.iso"), "2049"},
        {"a link gives its target's size", Path("link.iso"), "2049"},
        {"larger than 4 GiB", Path("big.iso"), "4700372993"},
        {"missing file", Path("missing.iso"), "File not found"},
        {"missing folder on the way", Path("nowhere/disc.iso"), "File not found"},
        {"dangling link", Path("dangling.iso"), "File not found"},
        {"a folder cannot be burned as an image", Path("folder.iso"), "Access denied"},
        {"a pipe has no size", Path("pipe.iso"), "I/O error 29"},
    };
    const int before = OpenDescriptorCount();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SizeOrMessage(c.name), c.result);
        EXPECT_EQ(OpenDescriptorCount(), before) << "a descriptor was left open";
    }
}

TEST_F(Files, SizeOfAFileTheUserMayNotReadIsAccessDenied)
{
    const std::string name = Path("disc.iso");
    WriteFile(name, "ISO");
    ASSERT_EQ(::chmod(name.c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
    // Root reads any file whatever its mode bits, so ask as an ordinary user.
    const std::string result = RunInChild([&]() -> std::string {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            return "skip: running as root and cannot drop to an ordinary user ("s + std::strerror(errno) + ")";
        return SizeOrMessage(name);
    });
    if (IsSkip(result))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "Access denied");
}

TEST_F(Files, WorkingDirectoryChangesOnlyOnSuccess)
{
    ASSERT_EQ(::mkdir(Path("sub").c_str(), 0755), 0);
    WriteFile(Path("file"), "x");
    const struct {
        const char* what;
        std::string dir;
        bool result;
        std::string after;
    } cases[] = {
        {"empty text changes nothing", "", true, dir_},
        {"missing folder", Path("missing"), false, dir_},
        {"a file", Path("file"), false, dir_},
        {"existing folder", Path("sub"), true, Path("sub")},
        {"relative to the working directory", "sub", true, Path("sub")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::chdir(dir_.c_str()), 0);
        EXPECT_EQ(os::SetCurrentDir(c.dir), c.result);
        EXPECT_EQ(CurrentDir(), c.after);
    }
}

// ---------------------------------------------------------------------------
// Executable path

using ExecutablePath = OsTest;

// Also run on its own by DeepInstallFolderIsNotCut, from a copy of this
// program; there it guards the full length of a long path.
TEST_F(ExecutablePath, IsTheRunningProgramFile)
{
    ASSERT_FALSE(kOwnFile.empty());
    EXPECT_EQ(os::ExecutablePath(), kOwnFile);
}

TEST_F(ExecutablePath, DeepInstallFolderIsNotCut)
{
    std::string folder = dir_;
    while (folder.size() <= 300) {
        folder += "/" + std::string(60, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << std::strerror(errno);
    }
    const std::string copy = folder + "/os_test_copy";
    WriteFile(copy, ReadWholeFile(kOwnFile));
    ASSERT_EQ(::chmod(copy.c_str(), 0755), 0);
    ASSERT_GT(copy.size(), 300u);

    const ProgramRun run =
        RunProgram({copy, "--gtest_filter=ExecutablePath.IsTheRunningProgramFile", "--gtest_color=no"});
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.output;
    EXPECT_NE(run.output.find("[  PASSED  ] 1 test."), std::string::npos) << run.output;
}

TEST_F(ExecutablePath, EmptyWithoutProc)
{
    const std::string result = RunInChild([]() -> std::string {
        std::string refused = EnterPrivateMountNamespace();
        if (!refused.empty())
            return refused;
        if (::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            return "skip: cannot cover /proc ("s + std::strerror(errno) + ")";
        const std::string path = os::ExecutablePath();
        return path.empty() ? "empty" : path;
    });
    if (IsSkip(result))
        GTEST_SKIP() << result;
    EXPECT_EQ(result, "empty");
}

// ---------------------------------------------------------------------------
// Path parts

TEST(PathParts, DirectoryNameAndExtensionSplitAtTheLastSeparator)
{
    const std::string longName(300, 'n');
    const struct {
        std::string path;
        std::string directory;
        std::string name;
        std::string extension;
    } cases[] = {
        {"/opt/app/prog", "/opt/app/", "prog", ""},
        {"/opt/app/x:y", "/opt/app/x:", "y", ""},
        {"/opt/a:b/prog", "/opt/a:b/", "prog", ""},
        {"/opt/a.b/prog", "/opt/a.b/", "prog", ""},
        {"/opt/a.b:prog", "/opt/a.b:", "prog", ""},
        {"C:\\images\\disc.iso", "C:\\images\\", "disc.iso", ".iso"},
        {"/home/user/backup.tar.gz", "/home/user/", "backup.tar.gz", ".gz"},
        {"/home/user/disc.", "/home/user/", "disc.", "."},
        {"/home/user/", "/home/user/", "", ""},
        {"/", "/", "", ""},
        {"prog", "", "prog", ""},
        {"", "", "", ""},
        {"/tmp/" + longName, "/tmp/", longName.substr(0, 255), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(os::ExtractFilePath(c.path), c.directory);
        EXPECT_EQ(os::ExtractFileName(c.path), c.name);
        EXPECT_EQ(os::ExtractFileExt(c.path), c.extension);
    }
}

} // namespace
