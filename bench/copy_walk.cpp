// The bare baseline of the distribution benchmark: what a plain program does with the system's
// own copy. For each destination in turn, the source (a file, or a folder with everything in it)
// is copied there with CopyFileW, the folder under its own name, walked with FindFirstFileW.
//
//   copy_walk SOURCE DESTINATION...        (bench/dist_bench.sh)
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

bool Walk(const std::wstring& from, const std::wstring& to) {
    if (!::CreateDirectoryW(to.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileExW((from + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ok = Walk(from + L"\\" + name, to + L"\\" + name) && ok;
        else ok = ::CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE) && ok;
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return ok;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fputs("usage: copy_walk SOURCE DESTINATION...\n", stderr);
        return 2;
    }
    const std::wstring source = argv[1];
    const std::wstring name = source.substr(source.find_last_of(L'\\') + 1);
    const bool folder = ::GetFileAttributesW(source.c_str()) & FILE_ATTRIBUTE_DIRECTORY;
    for (int i = 2; i < argc; ++i) {
        const std::wstring target = std::wstring(argv[i]) + L"\\" + name;
        const bool ok = folder ? Walk(source, target) : ::CopyFileW(source.c_str(), target.c_str(), FALSE);
        if (!ok) {
            std::fprintf(stderr, "copy_walk: copy to %ls failed (error %lu)\n", argv[i], ::GetLastError());
            return 1;
        }
    }
    return 0;
}
