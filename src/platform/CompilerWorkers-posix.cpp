// Compiler workers on POSIX: posix_spawn with the request and reply pipes on
// descriptors 3 and 4.
#include "CompilerWorkers.h"

#include "ChildPipes-posix.h"
#include "FileSystem.h"
#include "PathRules.h"
#include "WorkerProtocol.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mw {
namespace {

// A worker that does not answer its start within this time is not one.
constexpr int kReadyTimeoutMs = 10000;

struct ProgramStamp
{
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};

    bool operator==(const ProgramStamp& other) const
    {
        return inode == other.inode && size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

ProgramStamp StampOf(const std::string& program)
{
    ProgramStamp stamp;
    struct stat info;
    if (::stat(program.c_str(), &info) == 0)
    {
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
    }
    return stamp;
}

// fd moved to a number above the ones the worker is given (0 to 4), so that
// no dup2 in the child overwrites a descriptor a later one still needs.
int AboveWorkerDescriptors(int fd)
{
    if (fd > worker::kReplyFd)
        return fd;
    int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, worker::kReplyFd + 1);
    ::close(fd);
    return moved;
}

void CloseIfOpen(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Writes all of bytes; a worker that has ended gives EPIPE, not a signal.
bool WriteAll(int fd, const std::string& bytes)
{
    sigset_t pipeSignal, previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    size_t at = 0;
    bool broken = false;
    while (at < bytes.size())
    {
        ssize_t n = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
        {
            broken = errno == EPIPE;
            break;
        }
        at += size_t(n);
    }
    if (broken)
    {
        // Take the signal the write raised before it is unblocked.
        timespec none{};
        sigtimedwait(&pipeSignal, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return at == bytes.size();
}

std::string ProcessFolder()
{
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

} // namespace

struct CompilerWorkers::Worker
{
    std::string program;
    ProgramStamp stamp;
    pid_t pid = -1;
    int requestFd = -1; // the tool writes requests
    int replyFd = -1;   // the tool reads replies
    int outFd = -1;
    int errFd = -1;

    ~Worker() { End(); }

    // The worker is ended (and reaped): the end of its requests lets it
    // leave by itself, which closes its end of the reply pipe; one that has
    // not left within a second is killed.
    void End()
    {
        CloseIfOpen(requestFd);
        CloseIfOpen(outFd);
        CloseIfOpen(errFd);
        bool left = false;
        if (pid > 0 && replyFd >= 0)
        {
            pollfd reply{replyFd, POLLIN, 0};
            char ignored[64];
            for (int looks = 0; looks < 100 && ::poll(&reply, 1, 1000) > 0; ++looks)
            {
                ssize_t n = ::read(replyFd, ignored, sizeof ignored);
                if (n == 0)
                {
                    left = true;
                    break;
                }
                if (n < 0 && errno != EAGAIN && errno != EINTR)
                    break;
            }
        }
        CloseIfOpen(replyFd);
        if (left)
            Reap(nullptr);
        else
            Kill(nullptr);
    }

    void Kill(int* status)
    {
        if (pid <= 0)
            return;
        ::kill(pid, SIGKILL);
        Reap(status);
    }

    void Reap(int* status)
    {
        int ignored = 0;
        while (::waitpid(pid, status ? status : &ignored, 0) < 0 && errno == EINTR)
        {
        }
        pid = -1;
    }

    // Reads the ready word; false when the program ended or stayed silent.
    bool AwaitReady()
    {
        pollfd ready{replyFd, POLLIN, 0};
        if (::poll(&ready, 1, kReadyTimeoutMs) <= 0)
            return false;
        char word[4];
        ssize_t n = ::read(replyFd, word, sizeof word);
        return n == 4 && worker::GetU32(word) == worker::kReady;
    }
};

namespace {

// A worker of program, started and ready; null when it could not be started or did not answer.
std::unique_ptr<CompilerWorkers::Worker> StartWorker(const std::string& program)
{
    int request[2], reply[2], out[2], err[2];
    int* pipes[] = {request, reply, out, err};
    int made = 0;
    for (; made < 4; ++made)
        if (::pipe2(pipes[made], O_CLOEXEC) != 0)
            break;
    auto worker = std::make_unique<CompilerWorkers::Worker>();
    if (made < 4)
    {
        for (int i = 0; i < made; ++i)
        {
            ::close(pipes[i][0]);
            ::close(pipes[i][1]);
        }
        return nullptr;
    }
    // The child's ends, each above 4 so the dup2s below cannot overwrite one another.
    int childRequest = AboveWorkerDescriptors(request[0]);
    int childReply = AboveWorkerDescriptors(reply[1]);
    int childOut = AboveWorkerDescriptors(out[1]);
    int childErr = AboveWorkerDescriptors(err[1]);
    worker->requestFd = request[1];
    worker->replyFd = reply[0];
    worker->outFd = out[0];
    worker->errFd = err[0];
    worker->program = program;
    worker->stamp = StampOf(program);

    bool moved = childRequest >= 0 && childReply >= 0 && childOut >= 0 && childErr >= 0;
    int spawned = -1;
    if (moved)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, childOut, 1);
        posix_spawn_file_actions_adddup2(&actions, childErr, 2);
        posix_spawn_file_actions_adddup2(&actions, childRequest, worker::kRequestFd);
        posix_spawn_file_actions_adddup2(&actions, childReply, worker::kReplyFd);
        std::string name = program;
        std::string workerSwitch = worker::kWorkerSwitch;
        char* argv[] = {name.data(), workerSwitch.data(), nullptr};
        spawned = posix_spawn(&worker->pid, program.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
    }
    for (int fd : {childRequest, childReply, childOut, childErr})
        if (fd >= 0)
            ::close(fd);
    if (spawned != 0)
    {
        worker->pid = -1;
        return nullptr;
    }
    if (!worker->AwaitReady())
    {
        worker->Kill(nullptr);
        return nullptr;
    }
    return worker;
}

} // namespace

CompilerWorkers::CompilerWorkers(std::string programFolder) : m_folder(ResolvePath(std::move(programFolder)))
{
    while (m_folder.size() > 1 && m_folder.back() == '/')
        m_folder.pop_back();
}

CompilerWorkers::~CompilerWorkers()
{
    EndIdle();
}

bool CompilerWorkers::Serves(const std::string& program) const
{
    if (m_folder.empty() || ParentPath(program) != m_folder)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refusing.count(program) == 0;
}

int CompilerWorkers::Started() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_started;
}

void CompilerWorkers::EndIdle()
{
    std::vector<std::unique_ptr<Worker>> ending;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ending.swap(m_idle);
    }
    // All are told first, so that they leave side by side.
    for (std::unique_ptr<Worker>& worker : ending)
        CloseIfOpen(worker->requestFd);
    ending.clear();
}

std::unique_ptr<CompilerWorkers::Worker> CompilerWorkers::TakeIdle(const std::string& program)
{
    std::unique_ptr<Worker> found;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (size_t i = m_idle.size(); i-- > 0;)
            if (m_idle[i]->program == program)
            {
                found = std::move(m_idle[i]);
                m_idle.erase(m_idle.begin() + ptrdiff_t(i));
                break;
            }
    }
    // A program replaced since its worker started gets a new worker.
    if (found && !(StampOf(program) == found->stamp))
        found.reset();
    return found;
}

void CompilerWorkers::PutIdle(std::unique_ptr<Worker> worker)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_idle.push_back(std::move(worker));
}

bool CompilerWorkers::Run(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& folder, IProcessOutput& output, ProcessOutcome& outcome, bool& handled)
{
    outcome = ProcessOutcome();
    handled = true;
    std::string runFolder = folder.empty() ? ProcessFolder() : ResolvePath(folder);
    if (runFolder.empty())
    {
        // A worker given no folder would stay in its last one.
        handled = false;
        return false;
    }
    std::vector<std::string> compileArguments(arguments.begin() + (arguments.empty() ? 0 : 1), arguments.end());
    std::string body = worker::EncodeRequest(runFolder, compileArguments);
    std::string request;
    worker::PutU32(request, uint32_t(body.size()));
    request += body;
    if (request.size() > worker::kMaxRequestBytes)
    {
        handled = false;
        return false;
    }

    // An idle worker may have ended since its last compile: then a new one is started.
    std::unique_ptr<Worker> worker = TakeIdle(program);
    if (!worker || !WriteAll(worker->requestFd, request))
    {
        worker = StartWorker(program);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_started;
            if (!worker)
                m_refusing.insert(program);
        }
        if (!worker)
        {
            handled = false;
            return false;
        }
        if (!WriteAll(worker->requestFd, request))
        {
            // It answered its start, then ended before taking the request.
            int status = 0;
            worker->Reap(&status);
            SetOutcomeFromStatus(status, outcome);
            return true;
        }
    }

    ChildPipes pipes(worker->outFd, worker->errFd);
    worker->outFd = worker->errFd = -1;
    ::fcntl(worker->replyFd, F_SETFL, O_NONBLOCK);
    bool answered = false;
    bool ended = false;
    uint32_t reply = 0;
    int status = 0;
    for (;;)
    {
        if (pipes.ReadOne(output))
            continue;
        // Both pipes are empty: only now is the end of the compile noticed.
        if (answered)
            break;
        char word[4];
        ssize_t n = ::read(worker->replyFd, word, sizeof word);
        if (n == 4)
        {
            reply = worker::GetU32(word);
            answered = true;
            continue;
        }
        if (n >= 0 || (errno != EAGAIN && errno != EINTR))
        {
            // The worker ended in the compile (or broke the exchange): what it
            // wrote before is still read, and it is reported as a program
            // that ended so.
            if (n > 0)
                worker->Kill(&status);
            else
                worker->Reap(&status);
            answered = ended = true;
            continue;
        }
        if (output.StopRequested())
        {
            worker->Kill(&status);
            outcome.stopped = true;
            ended = true;
            break;
        }
        pipes.Wait(10, worker->replyFd);
    }
    if (ended)
    {
        SetOutcomeFromStatus(status, outcome);
        return true;
    }
    if (!pipes.Open())
    {
        // It closed its own output: the next compile gets a new worker.
        worker->Kill(nullptr);
    }
    else
    {
        pipes.Release(worker->outFd, worker->errFd);
        PutIdle(std::move(worker));
    }
    if (reply == worker::kCannotEnterFolder)
        return false;
    outcome.exitCode = reply;
    return true;
}

} // namespace mw
