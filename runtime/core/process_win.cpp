#include "runtime/core/process.h"

#include <windows.h>

intptr_t ProcessModuleHandle() { return reinterpret_cast<intptr_t>(GetModuleHandleW(nullptr)); }

namespace {

// Writes the message as UTF-8 with a line end to the standard error handle, if
// the process has one (a console or a redirected stream). False when not.
bool WriteToStandardError(const wchar_t* text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE) return false;
    char line[1024];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof line - 2, nullptr, nullptr);
    if (bytes <= 0) return false;
    line[bytes - 1] = '\n';
    DWORD done = 0;
    return WriteFile(error, line, static_cast<DWORD>(bytes), &done, nullptr) && done == static_cast<DWORD>(bytes);
}

// The executable's file name without folder and extension ("Wirlo").
void ProgramName(wchar_t (&name)[MAX_PATH]) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    name[0] = 0;
    if (length == 0 || length >= MAX_PATH) return;
    const wchar_t* base = path;
    for (const wchar_t* p = path; *p; ++p)
        if (*p == L'\\' || *p == L'/') base = p + 1;
    int n = 0;
    while (base[n] && n < MAX_PATH - 1) {
        name[n] = base[n];
        ++n;
    }
    name[n] = 0;
    for (int i = n - 1; i >= 0; --i)
        if (name[i] == L'.') {
            name[i] = 0;
            break;
        }
}

}  // namespace

void ProcessShowFailure(const char16_t* message) {
    const auto* text = reinterpret_cast<const wchar_t*>(message);
    if (WriteToStandardError(text)) return;
    wchar_t caption[MAX_PATH];
    ProgramName(caption);
    MessageBoxW(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

void ProcessExit(int code) { ExitProcess(static_cast<UINT>(code)); }
