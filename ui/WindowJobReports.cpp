#include "WindowJobReports.h"

WindowJobReports::WindowJobReports(HWND window, UINT message, Delivery delivery, PostFunction post)
    : window(window), message(message), delivery(delivery), post(post)
{
}

bool WindowJobReports::Progress(unsigned percent)
{
    return Deliver(static_cast<WPARAM>(percent), 0);
}

bool WindowJobReports::Ended(std::uint32_t tag)
{
    return Deliver(0, static_cast<LPARAM>(tag));
}

bool WindowJobReports::Listening() const
{
    return ::IsWindow(window) != FALSE;
}

std::optional<std::uint32_t> WindowJobReports::EndedTag(LPARAM lParam)
{
    if (lParam == 0)
        return std::nullopt;
    const bool isTag = lParam > 0 && static_cast<ULONG_PTR>(lParam) <= 0xFFFFFFFFu;
    return isTag ? static_cast<std::uint32_t>(lParam) : 0u;
}

bool WindowJobReports::Deliver(WPARAM wParam, LPARAM lParam)
{
    if (delivery == Delivery::Send) {
        ::SendMessageW(window, message, wParam, lParam);
        return true;
    }
    return post(window, message, wParam, lParam) != FALSE;
}
