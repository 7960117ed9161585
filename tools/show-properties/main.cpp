// show-properties: opens the Properties dialog of a file (or of several items
// of one folder) through the shell's context menu, brings the hash page to
// the front (the tab of that title), waits for its digests and prints them;
// optionally saves a screenshot and leaves the dialog open. The page's controls have the same identifiers in
// every configuration.
#include "ShellProperties.h"
#include "resource.h"
#include "tools/console/ConsoleText.h"
#include "win/ErrorText.h"

#include <ole2.h>
#include <string>
#include <vector>

namespace {

struct Arguments {
    std::vector<std::wstring> files;  // of one folder
    std::wstring page = L"文件检验";  // the full configuration's tab
    std::wstring screenshot;
    bool leaveOpen = false;
    DWORD timeoutMs = 60000;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--page" && i + 1 < argc)
            arguments.page = argv[++i];
        else if (argument == L"--screenshot" && i + 1 < argc)
            arguments.screenshot = argv[++i];
        else if (argument == L"--leave-open")
            arguments.leaveOpen = true;
        else if (argument == L"--timeout" && i + 1 < argc)
            arguments.timeoutMs = static_cast<DWORD>(_wtoi(argv[++i])) * 1000;
        else
            arguments.files.push_back(argument);
    }
    if (arguments.files.empty()) {
        WriteText(STD_ERROR_HANDLE, L"usage: show-properties [--page TITLE] [--screenshot FILE.bmp] [--leave-open] [--timeout S] FILE...\n");
        return 2;
    }

    ::OleInitialize(nullptr);
    int exitCode = 1;
    const HRESULT hr = shellprops::ShowProperties(arguments.files, [&](HWND sheet) {
        if (sheet == nullptr) {
            WriteText(STD_ERROR_HANDLE, L"show-properties: no Properties dialog appeared\n");
            return;
        }
        HWND page = shellprops::SelectPage(sheet, arguments.page);
        if (page == nullptr) {
            WriteText(STD_ERROR_HANDLE, L"show-properties: the hash page is not in the dialog\n");
        } else if (!shellprops::WaitForResult(page, arguments.timeoutMs)) {
            WriteText(STD_ERROR_HANDLE, L"show-properties: no digests in time\n");
        } else if (!::IsWindowEnabled(page)) {
            wchar_t label[512] = {};
            ::GetDlgItemTextW(page, IDC_ALGORITHM_LABEL, label, 512);
            WriteText(STD_ERROR_HANDLE, std::wstring(L"show-properties: the page cannot read the file: ") + label + L"\n");
        } else {
            std::wstring lines;
            for (const auto& [name, digest] : shellprops::ReadRows(page))
                lines += name + L"\t" + digest + L"\n";
            WriteText(STD_OUTPUT_HANDLE, lines);
            exitCode = 0;
        }
        if (!arguments.screenshot.empty()) {
            ::RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            ::Sleep(500);
            if (!shellprops::SaveScreenshot(sheet, arguments.screenshot))
                WriteText(STD_ERROR_HANDLE, L"show-properties: the screenshot failed\n");
        }
        if (!arguments.leaveOpen)
            shellprops::CloseSheet(sheet);
    });
    if (FAILED(hr)) {
        WriteText(STD_ERROR_HANDLE, L"show-properties: the shell refused: " + SystemErrorText(static_cast<DWORD>(hr)) + L"\n");
        exitCode = 1;
    }
    ::OleUninitialize();
    return exitCode;
}
