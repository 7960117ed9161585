#include "FileHasher.h"

#include "win/ErrorText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

namespace {

constexpr DWORD kProgressPollMs = 250;
constexpr std::uint64_t kThreadFromBytes = 8 * 1024 * 1024;

}  // namespace

FileHasher::FileHasher(AlgorithmChoice& choice, StopFlag stop, ProgressLine& progress)
    : choice(choice), stop(std::move(stop)), progress(progress)
{
}

FileDigests FileHasher::Hash(const std::wstring& path, const std::set<std::wstring>& algorithms,
                             std::optional<std::uint64_t> size)
{
    FileDigests result;
    const std::wstring openPath = ExtendedLengthPath(path);
    HashDataPtr job = HashData::Create();
    job->SetStopFlag(stop);
    job->SetJobTag(HASHJOB_FILE);
    if (!job->Open(openPath)) {
        result.error = OpenError(openPath, job->LastError());
        return result;
    }

    // No window: the job's bytes show the progress. A large file gets a
    // worker, followed while it reads; a small one is hashed on this thread,
    // since starting a thread costs more than its bytes (most of all under Wine).
    if (!size) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (::GetFileAttributesExW(openPath.c_str(), GetFileExInfoStandard, &data))
            size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    }
    choice.names = algorithms;
    const std::uint64_t bytesBefore = progress.state.bytesDone;
    if (size && *size < kThreadFromBytes) {
        job->RunOnThisThread(true);
    } else {
        win::UniqueThread thread(job->Start(true));
        while (thread && ::WaitForSingleObject(thread.get(), kProgressPollMs) == WAIT_TIMEOUT) {
            progress.state.bytesDone = bytesBefore + job->BytesDone();
            progress.Update();
        }
    }
    if (job->LastError() != ERROR_SUCCESS) {
        result.error = job->LastError();
    } else if (!job->Completed()) {
        result.interrupted = true;
    } else {
        progress.state.bytesDone = bytesBefore + size.value_or(0);
        for (std::size_t i = 0; i < job->Count(); ++i) {
            const SharedDescriptor descriptor = job->At(i);
            result.digests[descriptor->GetName()] = descriptor->GetDigestText();
        }
    }
    ++progress.state.filesDone;
    progress.Update();
    return result;
}

std::wstring FileErrorText(DWORD error)
{
    return error == kErrorIsFolder ? L"Is a folder" : SystemErrorText(error);
}

DWORD OpenError(const std::wstring& path, DWORD error)
{
    if (error != ERROR_ACCESS_DENIED)
        return error;
    const DWORD attributes = ::GetFileAttributesW(ExtendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kErrorIsFolder
                                                                                                : error;
}
