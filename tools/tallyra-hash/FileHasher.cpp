#include "FileHasher.h"

#include "win/ErrorText.h"
#include "win/LongPath.h"
#include "win/UniqueHandle.h"

namespace {

constexpr DWORD kProgressPollMs = 250;

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

    // No window: the worker is waited for, and the progress read from the job.
    choice.names = algorithms;
    win::UniqueFile thread(job->Start(true));
    const std::uint64_t bytesBefore = progress.state.bytesDone;
    while (thread && ::WaitForSingleObject(thread.get(), kProgressPollMs) == WAIT_TIMEOUT) {
        progress.state.bytesDone = bytesBefore + job->BytesDone();
        progress.Update();
    }
    if (job->LastError() != ERROR_SUCCESS) {
        result.error = job->LastError();
    } else if (!job->Completed()) {
        result.interrupted = true;
    } else {
        if (!size) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (::GetFileAttributesExW(openPath.c_str(), GetFileExInfoStandard, &data))
                size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
        }
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
