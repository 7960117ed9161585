#pragma once
// A job's reports as its owner's window message: wParam the percentage with
// lParam 0, or wParam 0 with lParam the tag of the job whose run ended.
// Posted for a page that never lets its worker wait for it, or sent for one
// whose worker waits until the page has taken each report.
#include "engine/JobReports.h"

#include <cstdint>
#include <optional>
#include <windows.h>

class WindowJobReports final : public JobReports {
public:
    enum class Delivery { Post, Send };
    // How a posted report is posted; tests put a refusing post there.
    using PostFunction = BOOL(WINAPI*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    WindowJobReports(HWND window, UINT message, Delivery delivery = Delivery::Post,
                     PostFunction post = &::PostMessageW);

    bool Progress(unsigned percent) override;
    bool Ended(std::uint32_t tag) override;
    bool Listening() const override;

    // What a report's lParam says: nothing for progress, or the tag of the
    // job whose run ended (0, which no job has, for what no job sends).
    static std::optional<std::uint32_t> EndedTag(LPARAM lParam);

private:
    bool Deliver(WPARAM wParam, LPARAM lParam);

    HWND window;
    UINT message;
    Delivery delivery;
    PostFunction post;
};
