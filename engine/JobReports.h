#pragma once
// Where a hashing job's reports go while it runs. The job knows nothing of
// its owner: the owner's side turns each report into whatever it listens to
// (a page, its window message). Called on the worker's thread.
#include <cstdint>

class JobReports {
public:
    virtual ~JobReports() = default;

    // How far the run has got, in percent. False when the owner refused it
    // (a full queue): the report is dropped.
    virtual bool Progress(unsigned percent) = 0;
    // The run of the job with this tag has ended. False when the owner
    // refused it: the job reports it again while the owner still listens.
    virtual bool Ended(std::uint32_t tag) = 0;
    // False once the owner is gone and takes no more reports.
    virtual bool Listening() const = 0;
};
