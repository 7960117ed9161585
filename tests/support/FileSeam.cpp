#include "FileSeam.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>

namespace {

// The calls are plain functions that a worker may make after its test, so
// their state lives as long as the process.
struct SeamState {
    std::mutex mutex;
    std::condition_variable changed;
    bool attached = false;
    bool closed = false;
    std::set<int> released;
    std::set<int> held;
    int reads = 0;
    int inProgress = 0;
    std::uint64_t bytes = 0;

    int stopAt = -1;
    StopFlag stop;
    int failAt = -1;
    int throwAt = -1;
    DWORD readError = ERROR_SUCCESS;
    StopFlag resumeOnStopReport;
    long long reportedSize = -1;  // -1: the file's own
    DWORD sizeError = ERROR_SUCCESS;
    unsigned processors = 0;  // 0: the machine's
    bool fakeReads = false;

    void Reset()
    {
        closed = false;
        released.clear();
        held.clear();
        reads = inProgress = 0;
        bytes = 0;
        stopAt = failAt = throwAt = -1;
        stop.reset();
        resumeOnStopReport.reset();
        readError = sizeError = ERROR_SUCCESS;
        reportedSize = -1;
        processors = 0;
        fakeReads = false;
    }
};

SeamState& State()
{
    static SeamState* state = new SeamState;
    return *state;
}

BOOL WINAPI SeamRead(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped)
{
    SeamState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!s.attached) {
        lock.unlock();
        return ::ReadFile(file, buffer, toRead, read, overlapped);
    }
    const int index = s.reads++;
    s.held.insert(index);
    s.changed.notify_all();
    s.changed.wait(lock, [&] { return !s.closed || s.released.count(index) != 0; });
    s.held.erase(index);
    ++s.inProgress;
    if (index == s.throwAt) {
        --s.inProgress;
        s.changed.notify_all();
        throw std::bad_alloc();  // as an allocation failing inside the read would
    }
    const bool fail = index == s.failAt, fake = s.fakeReads;
    const DWORD failure = s.readError;
    const StopFlag stop = index == s.stopAt ? s.stop : nullptr;
    lock.unlock();

    BOOL result = FALSE;
    DWORD error = ERROR_SUCCESS;
    if (fail) {
        *read = 0;
        error = failure;
    } else if (fake) {
        *read = toRead;
        result = TRUE;
    } else {
        result = ::ReadFile(file, buffer, toRead, read, overlapped);
        error = ::GetLastError();
    }
    if (stop)
        stop->store(true);

    lock.lock();
    if (result)
        s.bytes += *read;
    --s.inProgress;
    s.changed.notify_all();
    lock.unlock();
    ::SetLastError(error);
    return result;
}

DWORD WINAPI SeamSize(HANDLE file, LPDWORD high)
{
    SeamState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (s.attached && s.sizeError != ERROR_SUCCESS) {
        const DWORD error = s.sizeError;
        lock.unlock();
        ::SetLastError(error);
        return INVALID_FILE_SIZE;
    }
    if (s.attached && s.reportedSize >= 0) {
        const auto size = static_cast<std::uint64_t>(s.reportedSize);
        *high = static_cast<DWORD>(size >> 32);
        return static_cast<DWORD>(size);
    }
    lock.unlock();
    return ::GetFileSize(file, high);
}

// A stopped run reports progress 0 once its loop has ended; a resume may
// come at exactly that point.
BOOL WINAPI SeamPost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SeamState& s = State();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.attached && s.resumeOnStopReport && wParam == 0 && lParam == 0 && s.resumeOnStopReport->load()) {
            s.resumeOnStopReport->store(false);
            s.resumeOnStopReport.reset();
        }
    }
    return ::PostMessageW(window, message, wParam, lParam);
}

BOOL WINAPI SeamAffinity(HANDLE process, PDWORD_PTR processMask, PDWORD_PTR systemMask)
{
    SeamState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    if (s.attached && s.processors != 0) {
        *processMask = *systemMask = AffinityOf(s.processors);
        return TRUE;
    }
    lock.unlock();
    return ::GetProcessAffinityMask(process, processMask, systemMask);
}

}  // namespace

DWORD_PTR AffinityOf(unsigned processors)
{
    constexpr unsigned kBits = sizeof(DWORD_PTR) * 8;
    return processors >= kBits ? ~DWORD_PTR{0} : (DWORD_PTR{1} << processors) - 1;
}

FileSeam::FileSeam()
{
    SeamState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.attached)
        throw std::logic_error("one file seam at a time");
    s.Reset();
    s.attached = true;
}

FileSeam::~FileSeam()
{
    SeamState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    s.closed = false;
    s.changed.notify_all();
    s.changed.wait(lock, [&] { return s.held.empty() && s.inProgress == 0; });
    s.Reset();
    s.attached = false;
}

JobSystemCalls FileSeam::Calls()
{
    return {&SeamRead, &SeamSize, &SeamAffinity};
}

WindowJobReports::PostFunction FileSeam::Post()
{
    return &SeamPost;
}

void FileSeam::Close()
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().closed = true;
}

void FileSeam::Open()
{
    SeamState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.closed = false;
    s.changed.notify_all();
}

void FileSeam::Release(int read)
{
    SeamState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.released.insert(read);
    s.changed.notify_all();
}

bool FileSeam::WaitUntilHeld(int read, DWORD limitMs) const
{
    SeamState& s = State();
    std::unique_lock<std::mutex> lock(s.mutex);
    return s.changed.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return s.held.count(read) != 0; });
}

int FileSeam::Reads() const
{
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().reads;
}

std::uint64_t FileSeam::BytesRead() const
{
    std::lock_guard<std::mutex> lock(State().mutex);
    return State().bytes;
}

void FileSeam::StopDuringRead(int read, StopFlag flag)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().stopAt = read;
    State().stop = std::move(flag);
}

void FileSeam::FailRead(int read, DWORD error)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().failAt = read;
    State().readError = error;
}

void FileSeam::ThrowDuringRead(int read)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().throwAt = read;
}

void FileSeam::ResumeWhenStopReported(StopFlag flag)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().resumeOnStopReport = std::move(flag);
}

void FileSeam::ReportSize(std::uint64_t size)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().reportedSize = static_cast<long long>(size);
}

void FileSeam::FailSize(DWORD error)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().sizeError = error;
}

void FileSeam::ReportProcessors(unsigned count)
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().processors = count;
}

void FileSeam::FakeReads()
{
    std::lock_guard<std::mutex> lock(State().mutex);
    State().fakeReads = true;
}
