// The resources of the built KELVARON.EXE (QUORVANDER_EXE, a unix path under Wine) as the loader
// and Explorer read them: the manifest, the version and the icons.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

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
