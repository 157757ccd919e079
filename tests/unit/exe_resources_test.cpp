// The resources of the built KELVARON.EXE, read from the file as Explorer and the loader read them:
// the manifest, the version, the icons. ctest names the exe in QUORVANDER_EXE (a unix path when
// the tests run under Wine) and the project's version in QUORVANDER_PROJECT_VERSION.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window.h"
#include "resources/resource_ids.h"

namespace {

constexpr char kProjectVersion[] = QUORVANDER_PROJECT_VERSION;

// The exe as Windows names it: a unix path is Z: followed by the path with backslashes.
std::wstring ExePath() {
    const wchar_t* value = ::_wgetenv(L"QUORVANDER_EXE");
    std::wstring path = value ? value : L"";
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// Icons as they are stored: a group (RT_GROUP_ICON) names its images (RT_ICON).
#pragma pack(push, 2)
struct GroupHeader {
    WORD reserved, type, count;
};
struct GroupEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupEntry) == 14);

class ExeResources : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = ExePath();
        ASSERT_FALSE(path_.empty()) << "QUORVANDER_EXE names no exe";
        module_ = ::LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "cannot load " << ::testing::PrintToString(path_) << " (error "
                                    << ::GetLastError() << ")";
        // Not the unit-test program: the exe of the program.
        ASSERT_NE(module_, ::GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
    }

    std::optional<std::string_view> Resource(LPCWSTR type, LPCWSTR name) const {
        HRSRC found = ::FindResourceW(module_, name, type);
        if (!found) return std::nullopt;
        HGLOBAL loaded = ::LoadResource(module_, found);
        const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
        if (!bytes) return std::nullopt;
        return std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module_, found));
    }

    // The images an icon group names: width and bits a pixel of each.
    std::vector<std::pair<int, int>> IconImages(int id) const {
        std::vector<std::pair<int, int>> images;
        const auto group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(id));
        if (!group || group->size() < sizeof(GroupHeader)) return images;
        GroupHeader header;
        std::memcpy(&header, group->data(), sizeof header);
        for (int i = 0; i < header.count && sizeof header + (i + 1) * sizeof(GroupEntry) <= group->size(); ++i) {
            GroupEntry entry;
            std::memcpy(&entry, group->data() + sizeof header + i * sizeof entry, sizeof entry);
            BITMAPINFOHEADER bitmap{};
            if (const auto data = Resource(RT_ICON, MAKEINTRESOURCEW(entry.id)); data && data->size() >= sizeof bitmap)
                std::memcpy(&bitmap, data->data(), sizeof bitmap);
            images.emplace_back(entry.width, bitmap.biBitCount);
        }
        return images;
    }

    std::wstring path_;
    HMODULE module_ = nullptr;
};

// ----- The manifest -----

// What the manifest must say, each as it stands in the built exe (blanks between attributes
// folded to one): Common Controls 6, no elevation, per-monitor DPI (v2, and the older
// element's per-monitor value before Windows 10 1607), long paths, Windows 10 and 11.
TEST_F(ExeResources, ManifestAsksForCommonControls6PerMonitorV2DpiLongPathsAndNoElevation) {
    const auto text = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));  // CREATEPROCESS_MANIFEST_RESOURCE_ID
    ASSERT_TRUE(text.has_value()) << "no manifest (RT_MANIFEST 1)";
    std::string folded;
    for (const char c : *text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank) folded += c;
        else if (!folded.empty() && folded.back() != ' ') folded += ' ';
    }
    const std::string version = std::string("version=\"") + kProjectVersion + ".0\"";
    for (const std::string& fragment : {
             std::string("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
             std::string("publicKeyToken=\"6595b64144ccf1df\""),
             std::string("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\""),
             std::string("xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2"),
             std::string("xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
             std::string("xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true</longPathAware>"),
             std::string("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""), version})
        EXPECT_NE(folded.find(fragment), std::string::npos) << fragment << "\nin:\n" << folded;
}

// ----- The version -----

std::wstring VersionString(const std::vector<char>& info, const std::wstring& block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = L"\\StringFileInfo\\" + block + L"\\" + name;
    if (!::VerQueryValueW(info.data(), query.c_str(), &value, &length) || !value) return L"(none)";
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

TEST_F(ExeResources, VersionIsTheProjectsWithTheProgramsNames) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource (error " << ::GetLastError() << ")";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(path_.c_str(), 0, size, info.data()));

    int version[3] = {};
    ASSERT_EQ(std::sscanf(kProjectVersion, "%d.%d.%d", &version[0], &version[1], &version[2]), 3) << kProjectVersion;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_GE(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(version[1], version[0]), low = MAKELONG(0, version[2]);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                                 &length));
    ASSERT_GE(length, sizeof(Translation));
    wchar_t block[16];
    std::swprintf(block, 16, L"%04x%04x", translations[0].language, translations[0].codePage);
    const std::wstring projectVersion(kProjectVersion, kProjectVersion + std::strlen(kProjectVersion));
    EXPECT_EQ(VersionString(info, block, L"FileDescription"), L"Quorvander Utility");
    EXPECT_EQ(VersionString(info, block, L"ProductName"), L"Quorvander Utility");
    EXPECT_EQ(VersionString(info, block, L"FileVersion"), projectVersion);
    EXPECT_EQ(VersionString(info, block, L"ProductVersion"), projectVersion);
    EXPECT_EQ(VersionString(info, block, L"OriginalFilename"), L"KELVARON.EXE");
}


// ----- The icons -----

TEST_F(ExeResources, ProgramIconFirstEachWith32And16PixelImagesOf16Colours) {
    std::vector<std::wstring> groups;
    ::EnumResourceNamesW(
        module_, RT_GROUP_ICON,
        [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) -> BOOL {
            auto& found = *reinterpret_cast<std::vector<std::wstring>*>(context);
            found.push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name)) : name);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&groups));
    ASSERT_FALSE(groups.empty()) << "no icon groups";
    EXPECT_EQ(groups.front(), L"#" + std::to_wstring(IDI_PROGRAM)) << "first of " << groups.size();
    for (const int id : {IDI_PROGRAM, IDI_DISTRIBUTION}) {
        const auto images = IconImages(id);
        for (const int size : {32, 16})
            EXPECT_NE(std::find(images.begin(), images.end(), std::pair{size, 4}), images.end())
                << "icon " << id << " has no 4-bit image of " << size << " pixels";
    }
}

// ----- A window's icons -----

// A window of its own class with the program's icon: this program links the same resources.
class IconWindow : public platform::Window {
public:
    IconWindow(const wchar_t* className, int iconId) {
        Create(className, L"", 4000, 3000, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, nullptr, nullptr, iconId);
    }
};

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return {0, 0};
    BITMAP bitmap{};
    ::GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    const SIZE size{bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return size;
}

TEST(WindowResources, TheClassTakesTheIconsLargeAndSmallImagesAtTheirSizes) {
    IconWindow window(L"Quorvander.UnitTestIconWindow", IDI_PROGRAM);
    ASSERT_TRUE(window.Exists());
    const UINT dpi = ::GetDpiForSystem();
    const HICON big = reinterpret_cast<HICON>(::GetClassLongPtrW(window.Handle(), GCLP_HICON));
    const HICON small = reinterpret_cast<HICON>(::GetClassLongPtrW(window.Handle(), GCLP_HICONSM));
    const SIZE bigSize = IconSize(big), smallSize = IconSize(small);
    EXPECT_EQ(bigSize.cx, ::GetSystemMetricsForDpi(SM_CXICON, dpi));
    EXPECT_EQ(bigSize.cy, ::GetSystemMetricsForDpi(SM_CYICON, dpi));
    EXPECT_EQ(smallSize.cx, ::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(smallSize.cy, ::GetSystemMetricsForDpi(SM_CYSMICON, dpi));

    IconWindow plain(L"Quorvander.UnitTestNoIconWindow", 0);
    EXPECT_EQ(::GetClassLongPtrW(plain.Handle(), GCLP_HICON), ULONG_PTR{0});
}

}  // namespace
