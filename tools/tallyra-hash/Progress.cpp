#include "Progress.h"

#include "tools/console/ConsoleText.h"

#include <cstdio>

namespace {

constexpr ULONGLONG kQuietStartMs = 1000;
constexpr ULONGLONG kRedrawMs = 250;

std::wstring Mebibytes(std::uint64_t bytes)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

std::wstring FormatProgress(const ProgressState& state, double seconds)
{
    std::wstring text = std::to_wstring(state.filesDone);
    if (state.filesTotal != 0)
        text += L"/" + std::to_wstring(state.filesTotal);
    text += L" files, " + Mebibytes(state.bytesDone);
    if (state.bytesTotal != 0)
        text += L" of " + Mebibytes(state.bytesTotal);
    text += L" MiB";
    if (seconds > 0) {
        wchar_t speed[32];
        std::swprintf(speed, 32, L", %.1f MB/s", static_cast<double>(state.bytesDone) / seconds / 1e6);
        text += speed;
    }
    return text;
}

ProgressLine::ProgressLine(bool enabled) : enabled(enabled), started(::GetTickCount64())
{
}

void ProgressLine::Update()
{
    const ULONGLONG now = ::GetTickCount64();
    if (!enabled || now - started < kQuietStartMs || now - lastShown < kRedrawMs)
        return;
    lastShown = now;
    std::wstring text = FormatProgress(state, static_cast<double>(now - started) / 1000.0);
    const std::size_t length = text.size();
    if (length < shownLength)
        text += std::wstring(shownLength - length, L' ');
    WriteText(STD_ERROR_HANDLE, L"\r" + text);
    shownLength = length;
}

void ProgressLine::Clear()
{
    if (shownLength == 0)
        return;
    WriteText(STD_ERROR_HANDLE, L"\r" + std::wstring(shownLength, L' ') + L"\r");
    shownLength = 0;
    lastShown = 0;
}
