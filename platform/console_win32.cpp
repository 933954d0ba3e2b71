#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32_text.h"

namespace pl3::platform {

void prepareCommandLine(int& argc, char**& argv) {
    int count = 0;
    if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        // Kept for the life of the program, as argv is.
        static std::vector<std::string> texts;
        static std::vector<char*> pointers;
        for (int i = 0; i < count; ++i)
            texts.push_back(win32::utf8(wide[i]));
        for (std::string& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        ::LocalFree(wide);
        argc = count;
        argv = pointers.data();
    }
    // Text mode would turn "\n" into "\r\n" and stop at a Ctrl+Z; a console shows UTF-8.
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::optional<std::vector<std::uint8_t>> readStandardInputHead(std::size_t maxBytes,
                                                               FileError* error) {
    return readDescriptorHead(::_fileno(stdin), maxBytes, error);
}

}  // namespace pl3::platform
