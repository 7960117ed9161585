#pragma once
// The system calls of hashing jobs (JobSystemCalls) under a test's control:
// reads held at a gate until the test lets them through, counted in calls and
// bytes, failed or made to set a stop flag on cue, and a file size of the
// test's choosing; and the posts of their reports. Reads are numbered from 0 in the order they reach the seam.
//
// One seam at a time. A worker that outlives its test reads straight through
// to the file, unseen.
#include "engine/HashData.h"
#include "ui/WindowJobReports.h"

#include <cstdint>

// An affinity mask of so many processors (at most all of a mask).
DWORD_PTR AffinityOf(unsigned processors);

class FileSeam {
public:
    FileSeam();  // the gate open, real reads, real sizes
    // Lets every held read through and waits until no read is in progress.
    ~FileSeam();
    FileSeam(const FileSeam&) = delete;
    FileSeam& operator=(const FileSeam&) = delete;

    // The calls to give a job (HashData, or the page for both its jobs).
    static JobSystemCalls Calls();
    // How to post a job's reports (for ResumeWhenStopReported).
    static WindowJobReports::PostFunction Post();

    // Closed, every read waits at the gate until the test releases it.
    void Close();
    void Open();
    void Release(int read);
    // Blocks (without pumping messages) until the read waits at the gate;
    // false after a safety limit.
    bool WaitUntilHeld(int read, DWORD limitMs = 30000) const;

    // Reads that reached the seam, held ones included.
    int Reads() const;
    // Bytes the reads that succeeded handed out.
    std::uint64_t BytesRead() const;

    // Cues for one read each.
    void StopDuringRead(int read, StopFlag flag);
    void FailRead(int read, DWORD error);
    // The read throws std::bad_alloc instead of reading.
    void ThrowDuringRead(int read);
    // Clears the flag (a resume) the moment a run reports progress 0 with the
    // flag set, the report a stopped run makes once its loop has ended.
    void ResumeWhenStopReported(StopFlag flag);
    // The size the job is told instead of the file's own.
    void ReportSize(std::uint64_t size);
    void FailSize(DWORD error);
    // The processors a run is told it may use, so its lanes (1: none); 0 for
    // the process's own.
    void ReportProcessors(unsigned count);
    // Reads hand out whole blocks of zeros and leave the file alone.
    void FakeReads();
};
