#include "HashData.h"

#include "HashCatalogue.h"
#include "HashLanes.h"

#include <new>

namespace {

bool StopRequested(const StopFlag& flag)
{
    return flag->load();
}

}  // namespace

HashData::HashData() : stopFlag(std::make_shared<std::atomic<bool>>(false)) {}

HashDataPtr HashData::Create()
{
    return HashDataPtr(new HashData());
}

HashData::~HashData()
{
    CloseFile();
}

void HashData::SetStopFlag(StopFlag flag)
{
    if (flag)
        stopFlag = std::move(flag);
}

void HashData::CloseFile()
{
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    bytesDone = 0;
}

bool HashData::Open(const std::wstring& path)
{
    if (running.load()) {
        ::SetLastError(ERROR_BUSY);
        return false;
    }
    CloseFile();
    lastError = ERROR_SUCCESS;
    completed = false;
    file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        lastError = ::GetLastError();
        return false;
    }
    return true;
}

void HashData::Prepare()
{
    if (!running.load())
        PrepareDescriptors();
}

void HashData::UseDescriptors(DescriptorList chosen)
{
    if (running.load())
        return;
    bytesDone = 0;
    for (const SharedDescriptor& descriptor : chosen)
        descriptor->Restart();
    descriptors = std::move(chosen);
}

void HashData::PrepareDescriptors()
{
    bytesDone = 0;
    DescriptorList fresh = HashCatalogue::Instance().CreateEnabled();
    for (const SharedDescriptor& descriptor : fresh)
        descriptor->Restart();
    descriptors = std::move(fresh);
}

SharedDescriptor HashData::At(std::size_t index) const
{
    return index < descriptors.size() ? descriptors[index] : SharedDescriptor();
}

void HashData::SetSystemCallsForTesting(const JobSystemCalls& calls)
{
    if (!running.load())
        systemCalls = calls;
}

void HashData::TakeRunTarget()
{
    runStopFlag = stopFlag;
    runReports = ownerReports;
    runTag = jobTag;
}

void HashData::ReportProgress(unsigned percent) const
{
    if (runReports)
        runReports->Progress(percent);
}

// A queue that holds 10,000 messages refuses posts; a page whose thread was
// busy while a fast run posted its progress must still learn of the end, or
// it stays busy for ever.
void HashData::ReportEnd() const
{
    if (!runReports)
        return;
    DWORD pause = 1;
    while (!runReports->Ended(runTag)) {
        if (!runReports->Listening())
            return;
        ::Sleep(pause);
        pause = pause < 64 ? pause * 2 : pause;
    }
}

// A run that ends without digests: the failure is kept and the end
// reported, so that the owner learns of it where it learns of every run's end.
void HashData::EndRunWithError(DWORD error)
{
    lastError = error;
    running = false;
    ReportEnd();
}

HANDLE HashData::FailStart(DWORD error)
{
    EndRunWithError(error);
    return nullptr;
}

// What a worker owns: a reference to its record and one on the module whose
// code it runs.
struct HashData::WorkerStart {
    HashDataPtr job;
    HMODULE module = nullptr;
};

// Marks the record running and takes what the run uses; false (the outcome
// kept or posted) when the run cannot begin.
bool HashData::BeginRun(bool prepare)
{
    if (running.exchange(true)) {
        ::SetLastError(ERROR_BUSY);  // the running worker's outcome is left alone
        return false;
    }
    completed = false;
    TakeRunTarget();
    try {
        if (prepare)
            PrepareDescriptors();
    } catch (const std::bad_alloc&) {
        EndRunWithError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

HANDLE HashData::Start(bool prepare)
{
    if (!BeginRun(prepare))
        return nullptr;
    std::unique_ptr<WorkerStart> start;
    try {
        start = std::make_unique<WorkerStart>();
        start->job = shared_from_this();
    } catch (const std::bad_alloc&) {
        return FailStart(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const std::bad_weak_ptr&) {
        return FailStart(ERROR_INVALID_HANDLE);
    }
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                              reinterpret_cast<LPCWSTR>(&HashData::HashThreadProc), &start->module))
        return FailStart(::GetLastError());

    HANDLE thread = ::CreateThread(nullptr, 0, &HashData::HashThreadProc, start.get(), 0, nullptr);
    if (thread == nullptr) {
        const DWORD error = ::GetLastError();
        ::FreeLibrary(start->module);
        return FailStart(error);
    }
    start.release();  // now the worker's
    return thread;
}

DWORD WINAPI HashData::HashThreadProc(void* parameter)
{
    // Every object of the run is gone before the module reference is dropped.
    HMODULE module = RunWorker(static_cast<WorkerStart*>(parameter));
    ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

HMODULE HashData::RunWorker(WorkerStart* parameter)
{
    const std::unique_ptr<WorkerStart> start(parameter);
    start->job->RunToEnd();
    return start->module;
}

void HashData::RunToEnd()
{
    try {
        LoopResult result = LoopResult::Completed;
        if (file != INVALID_HANDLE_VALUE)
            result = ReadLoop();
        Finish(result);
    } catch (...) {
        // Only allocation can throw here; the run ends as a failure.
        EndRunWithError(ERROR_NOT_ENOUGH_MEMORY);
    }
}

bool HashData::RunOnThisThread(bool prepare)
{
    if (!BeginRun(prepare))
        return false;
    RunToEnd();
    return completed.load();
}

unsigned HashData::Processors() const
{
    DWORD_PTR process = 0, system = 0;
    if (!systemCalls.getProcessAffinityMask(::GetCurrentProcess(), &process, &system))
        return 1;
    return CountProcessors(process);
}

HashData::LoopResult HashData::ReadLoop()
{
    // Taken anew at every run, also when a stopped run resumes.
    const FileSizeRead sized = ReadFileSize(systemCalls.getFileSize, file);
    if (sized.error != ERROR_SUCCESS) {
        lastError = sized.error;
        return LoopResult::Failed;
    }
    const std::uint64_t size = sized.size;

    // The outcome is decided once, by how the loop ends, and never by
    // reading the flag again: a resume that clears it after the loop saw it
    // set must not turn the digests of a part of the file into the file's.
    LoopResult result = LoopResult::Completed;
    {
        // Every way out of the loop waits for the block the lanes hold.
        HashLanes lanes(descriptors, Processors(), kHashBlockSize);
        for (;;) {
            if (StopRequested(runStopFlag)) {
                result = LoopResult::Stopped;
                break;
            }
            if (bytesDone >= size)
                break;
            const double percent = static_cast<double>(bytesDone) / static_cast<double>(size) * 100.0;
            ReportProgress(static_cast<unsigned>(percent));

            DWORD read = 0;
            if (!systemCalls.readFile(file, lanes.NextBuffer(), kHashBlockSize, &read, nullptr)) {
                lastError = ::GetLastError();
                if (lastError == ERROR_SUCCESS)
                    lastError = ERROR_READ_FAULT;
                return LoopResult::Failed;
            }
            if (read == 0)
                break;  // the file shrank: what was read is the file
            bytesDone += read;
            lanes.Hash(read);
        }
        ReportProgress(result == LoopResult::Completed ? 100 : 0);
        lanes.Wait();
    }
    return result;
}

void HashData::Finish(LoopResult result)
{
    if (result == LoopResult::Failed || lastError != ERROR_SUCCESS) {
        // No digests from a part of the file: drop the partial states.
        for (const SharedDescriptor& descriptor : descriptors)
            descriptor->Restart();
        CloseFile();
    } else if (result == LoopResult::Completed) {
        for (const SharedDescriptor& descriptor : descriptors)
            descriptor->Finalize();
        CloseFile();
        completed = true;
    }
    // Stopped: the file stays open at the next block, the states are kept.

    // Cleared before the report, so that the owner may start again at once.
    running = false;
    ReportEnd();
}
