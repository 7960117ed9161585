#include "ChildProcess.h"

#include "win/UniqueHandle.h"

#include <stdexcept>
#include <thread>

namespace {

std::wstring Quoted(const std::wstring& argument)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
        if (c == L'"')
            quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

std::string ReadAll(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

}  // namespace

std::wstring BesideThisProgram(const std::wstring& fileName)
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + fileName;
}

ChildResult RunChild(const std::wstring& program, const std::vector<std::wstring>& arguments)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    win::UniqueFile outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !::CreatePipe(errRead.put(), errWrite.put(), &inherit, 0))
        throw std::runtime_error("CreatePipe failed");
    ::SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = Quoted(program);
    for (const std::wstring& argument : arguments)
        commandLine += L" " + Quoted(argument);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &process))
        throw std::runtime_error("CreateProcess failed");
    win::UniqueProcess processHandle(process.hProcess);
    win::UniqueThread threadHandle(process.hThread);
    outWrite.reset();
    errWrite.reset();

    ChildResult result;
    std::thread errReader([&] { result.err = ReadAll(errRead.get()); });
    result.out = ReadAll(outRead.get());
    errReader.join();
    ::WaitForSingleObject(processHandle.get(), INFINITE);
    ::GetExitCodeProcess(processHandle.get(), &result.exitCode);
    return result;
}
