// What only the system itself can check: the resources of the built KELVARON.EXE (QUORVANDER_EXE,
// a unix path under Wine) as the loader and Explorer read them; its command-line reading, its error
// texts, and its text conversions, which the portable ones (the build without Windows) must give.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

#include "platform/failure.h"
#include "platform/path_rules.h"
#include "platform/portable_text.h"
#include "platform/text.h"
#include "resources/resource_ids.h"

TEST(ExeResources, TheManifestAsksForWhatTheProgramNeedsTheVersionIsTheProjectsAndTheIconsAreThere) {
    std::wstring path = ::_wgetenv(L"QUORVANDER_EXE") ? ::_wgetenv(L"QUORVANDER_EXE") : L"";
    if (path.rfind(L"/", 0) == 0) path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    HMODULE exe = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(exe, nullptr) << "cannot load QUORVANDER_EXE " << testing::PrintToString(path);
    HRSRC found = ::FindResourceW(exe, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    const std::string manifest = std::regex_replace(  // blanks between attributes folded to one
        std::string(static_cast<const char*>(::LockResource(::LoadResource(exe, found))), ::SizeofResource(exe, found)),
        std::regex("\\s+"), " ");
    // The program's icon is the exe's first (Explorer shows that one); each icon has an image of
    // exactly 32 and of 16 pixels.
    LPWSTR first = nullptr;
    ::EnumResourceNamesW(
        exe, RT_GROUP_ICON, [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
            *reinterpret_cast<LPWSTR*>(found) = name;
            return FALSE;
        }, reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, MAKEINTRESOURCEW(IDI_PROGRAM));
    for (const int id : {IDI_PROGRAM, IDI_DISTRIBUTION}) {
        HRSRC group = ::FindResourceW(exe, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
        ASSERT_NE(group, nullptr) << id;
        auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(exe, group)));
        for (const int size : {32, 16}) {
            const int image = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
            HRSRC icon = ::FindResourceW(exe, MAKEINTRESOURCEW(image), RT_ICON);
            ASSERT_NE(icon, nullptr) << id << " at " << size;
            const auto* header = static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(exe, icon)));
            EXPECT_EQ(header->biWidth, size) << "icon " << id;
        }
    }
    ::FreeLibrary(exe);
    // Common Controls 6, no elevation, per-monitor DPI (v2, and the older element's value before
    // Windows 10 1607), long paths, Windows 10 and 11.
    for (const std::string fragment :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\"",
          "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"",
          "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2",
          "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
          "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>",
          "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"",
          "version=\"" QUORVANDER_PROJECT_VERSION ".0\""})
        EXPECT_NE(manifest.find(fragment), std::string::npos) << fragment << "\nin:\n" << manifest;

    DWORD ignored = 0;
    std::string info(::GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)) +
                  "." + std::to_string(HIWORD(fixed->dwFileVersionLS)),
              QUORVANDER_PROJECT_VERSION);
}

// What the started program reads back: its path and the argument as they are.
TEST(CommandLine, OfAProgramReadsBackAsItIsWithBlanksBackslashesAndQuotes) {
    const std::wstring program = LR"(C:\Windows Folder\system32\notepad.exe)";
    for (const std::wstring argument : {LR"(C:\Program Files\Q\EULA.TXT)", LR"(C:\My Files\)", LR"(say \"hi\" "there")", L""}) {
        int count = 0;
        wchar_t** words = ::CommandLineToArgvW(platform::CommandLineOf(program, argument).c_str(), &count);
        EXPECT_EQ(std::vector<std::wstring>(words, words + count), (std::vector<std::wstring>{program, argument}));
        ::LocalFree(words);
    }
}

TEST(Failure, CarriesTheNumberAndTheSystemsTextWithoutItsLineEnd) {
    ::SetLastError(ERROR_DISK_FULL);
    try {
        platform::ThrowLastError();
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.Number(), static_cast<DWORD>(ERROR_DISK_FULL));
        const std::wstring& text = failure.Description();
        EXPECT_TRUE(!text.empty() && text.find_last_not_of(L"\r\n ") == text.size() - 1) << testing::PrintToString(text);
        EXPECT_TRUE(platform::StandardErrorText(failure).ends_with(L"Error 112: " + text));
    }
}

// Every byte and pair of bytes read, every UTF-16 code unit written, and longer UTF-8 sequences
// (beyond U+FFFF, a surrogate, an overlong form, cut short).
TEST(PortableText, ConvertsAsTheSystemDoes) {
    for (const unsigned codePage : {platform::portable::kWesternCodePage, platform::kUtf8CodePage}) {
        std::vector<std::string> texts{"\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xE0\x80\xAF", "\xF4\x90\x80\x80", "\xF0\x9F\x98\x41"};
        for (unsigned n = 0; n < 0x10100; ++n)
            texts.push_back(n < 0x100 ? std::string(1, static_cast<char>(n)) : std::string{static_cast<char>((n - 0x100) >> 8), static_cast<char>(n)});
        for (const auto& bytes : texts)
            for (const bool strict : {false, true})
                if (strict || codePage != platform::kUtf8CodePage) {  // damaged UTF-8: see portable_text.h
                    ASSERT_EQ(platform::portable::FromCodePage(bytes, codePage, strict), platform::FromCodePage(bytes, codePage, strict))
                        << codePage << " " << strict << " " << testing::PrintToString(bytes);
                }
        std::vector<std::wstring> units{{0xD83D, 0xDE00}, {0xDC00, 0xD800}, {0xD800, L'A'}};
        for (unsigned unit = 0; unit < 0x10000; ++unit) units.emplace_back(1, static_cast<wchar_t>(unit));
        for (const auto& text : units)
            ASSERT_EQ(platform::portable::ToCodePageExactly(text, codePage), platform::ToCodePageExactly(text, codePage))
                << codePage << " " << testing::PrintToString(text);
    }
}
