#include "app/win32/CommandLine.h"

namespace app::win32 {

namespace {

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring_view argumentsOf(std::wstring_view commandLine) {
    std::size_t position = 0;
    bool quoted = false;
    for (; position < commandLine.size(); ++position) {
        const wchar_t c = commandLine[position];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && isBlank(c)) {
            break;
        }
    }
    while (position < commandLine.size() && isBlank(commandLine[position])) ++position;
    return commandLine.substr(position);
}

}  // namespace app::win32
