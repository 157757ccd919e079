// The resources of the built KELVARON.EXE, read from the file as Explorer and the loader read them:
// the manifest, the version, the icons. ctest names the exe in QUORVANDER_EXE (a unix path when
// the tests run under Wine) and the project's version in QUORVANDER_PROJECT_VERSION.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window.h"
#include "resources/resource_ids.h"

namespace {

constexpr char kProjectVersion[] = QUORVANDER_PROJECT_VERSION;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(Trim(std::string_view(text).substr(start, end - start)));
    parts.push_back(Trim(std::string_view(text).substr(start)));
    return parts;
}

// The version "a.b.c" as its numbers.
std::vector<int> VersionNumbers(const std::string& text) {
    std::vector<int> numbers;
    for (const std::string& part : Split(text, '.')) numbers.push_back(std::atoi(part.c_str()));
    return numbers;
}

// The exe as Windows names it: a unix path is Z: followed by the path with backslashes.
std::wstring ExePath() {
    const wchar_t* value = ::_wgetenv(L"QUORVANDER_EXE");
    std::wstring path = value ? value : L"";
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// ----- A small reader of the manifest's XML -----

struct Element {
    std::string name;       // without a namespace prefix
    std::string path;       // the names from the root down to this one, "a/b/c"
    std::string space;      // the namespace in effect (xmlns here or on the nearest parent)
    std::map<std::string, std::string> attributes;
    std::string text;       // the text right inside, trimmed
};

std::string LocalName(const std::string& name) {
    const auto colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

// Every element in document order; nothing when the text is not well-formed as far as this reader
// looks (tags that do not match, an attribute without a quoted value, an unclosed element).
std::optional<std::vector<Element>> ReadXml(std::string_view xml) {
    if (xml.substr(0, 3) == "\xEF\xBB\xBF") xml.remove_prefix(3);
    std::vector<Element> elements;
    std::vector<std::size_t> open;  // indexes into `elements`
    std::vector<std::string> rawText;
    std::size_t pos = 0;
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (pos < xml.size()) {
        const std::size_t tag = xml.find('<', pos);
        if (!open.empty()) rawText[open.back()] += std::string(xml.substr(pos, tag - pos));
        if (tag == std::string_view::npos) break;
        std::string_view rest = xml.substr(tag);
        std::string_view closer = rest.substr(0, 4) == "<!--" ? "-->" : rest.substr(0, 2) == "<?" ? "?>" : "";
        if (!closer.empty() || rest.substr(0, 2) == "<!") {
            const std::size_t end = xml.find(closer.empty() ? ">" : closer, tag + 2);
            if (end == std::string_view::npos) return std::nullopt;
            pos = end + (closer.empty() ? 1 : closer.size());
            continue;
        }
        const std::size_t end = xml.find('>', tag);
        if (end == std::string_view::npos) return std::nullopt;
        std::string_view inside = xml.substr(tag + 1, end - tag - 1);
        pos = end + 1;
        if (!inside.empty() && inside[0] == '/') {  // a closing tag
            const std::string name = Trim(inside.substr(1));
            if (open.empty() || elements[open.back()].name != LocalName(name)) return std::nullopt;
            open.pop_back();
            continue;
        }
        const bool empty = !inside.empty() && inside.back() == '/';
        if (empty) inside.remove_suffix(1);
        std::size_t i = 0;
        while (i < inside.size() && !isSpace(inside[i])) ++i;
        Element element;
        element.name = LocalName(std::string(inside.substr(0, i)));
        if (element.name.empty()) return std::nullopt;
        while (i < inside.size()) {  // name="value" or name='value'
            while (i < inside.size() && isSpace(inside[i])) ++i;
            if (i == inside.size()) break;
            const std::size_t equals = inside.find('=', i);
            if (equals == std::string_view::npos || equals + 1 >= inside.size()) return std::nullopt;
            const char quote = inside[equals + 1];
            if (quote != '"' && quote != '\'') return std::nullopt;
            const std::size_t closing = inside.find(quote, equals + 2);
            if (closing == std::string_view::npos) return std::nullopt;
            element.attributes[Trim(inside.substr(i, equals - i))] =
                std::string(inside.substr(equals + 2, closing - equals - 2));
            i = closing + 1;
        }
        const Element* parent = open.empty() ? nullptr : &elements[open.back()];
        if (!parent && !elements.empty()) return std::nullopt;  // a second root
        element.path = parent ? parent->path + "/" + element.name : element.name;
        const auto xmlns = element.attributes.find("xmlns");
        element.space = xmlns != element.attributes.end() ? xmlns->second : parent ? parent->space : "";
        elements.push_back(std::move(element));
        rawText.emplace_back();
        if (!empty) open.push_back(elements.size() - 1);
    }
    if (!open.empty() || elements.empty()) return std::nullopt;
    for (std::size_t i = 0; i < elements.size(); ++i) elements[i].text = Trim(rawText[i]);
    return elements;
}

// The elements whose path ends with `suffix` ("b/c" finds a/b/c).
std::vector<const Element*> FindAll(const std::vector<Element>& elements, const std::string& suffix) {
    std::vector<const Element*> found;
    for (const Element& element : elements) {
        const std::string& path = element.path;
        if (path == suffix || (path.size() > suffix.size() && path[path.size() - suffix.size() - 1] == '/' &&
                               path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0))
            found.push_back(&element);
    }
    return found;
}

// The one element at the end of `suffix`; a failure, and nothing, when there is none or more.
const Element* One(const std::vector<Element>& elements, const std::string& suffix) {
    const auto found = FindAll(elements, suffix);
    if (found.size() == 1) return found.front();
    ADD_FAILURE() << found.size() << " elements " << suffix << ", not one";
    return nullptr;
}

std::string Attribute(const Element& element, const std::string& name) {
    const auto found = element.attributes.find(name);
    return found == element.attributes.end() ? std::string("(none)") : found->second;
}

// ----- Icons as they are stored: a group (RT_GROUP_ICON) names its images (RT_ICON) -----

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

struct IconImage {
    int size = 0;            // width and height (the group's entry)
    int groupColors = 0;     // the group's colour count and bits a pixel
    int groupBits = 0;
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> palette;
    std::string pixels;      // the colour bitmap and the mask, as stored
    int transparent = 0;     // pixels the mask leaves out
    int transparentNotBlack = 0;  // of those, pixels not black in the colour bitmap: Windows
                                  // would invert the background there instead of showing it
};

// The colours of the classic 16-colour palette.
bool IsClassicColour(const RGBQUAD& colour) {
    static const DWORD kClassic[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    const DWORD rgb = (DWORD{colour.rgbRed} << 16) | (DWORD{colour.rgbGreen} << 8) | colour.rgbBlue;
    return std::find(std::begin(kClassic), std::end(kClassic), rgb) != std::end(kClassic);
}

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

    std::vector<IconImage> Icon(int id) const {
        std::vector<IconImage> images;
        const auto group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(id));
        if (!group || group->size() < sizeof(GroupHeader)) {
            ADD_FAILURE() << "no icon group " << id;
            return images;
        }
        GroupHeader header;
        std::memcpy(&header, group->data(), sizeof header);
        EXPECT_EQ(header.type, 1) << "icon group " << id;
        if (group->size() < sizeof header + header.count * sizeof(GroupEntry)) {
            ADD_FAILURE() << "icon group " << id << " is cut short";
            return images;
        }
        for (int i = 0; i < header.count; ++i) {
            GroupEntry entry;
            std::memcpy(&entry, group->data() + sizeof header + i * sizeof entry, sizeof entry);
            IconImage image;
            image.size = entry.width ? entry.width : 256;
            image.groupColors = entry.colorCount;
            image.groupBits = entry.bitCount;
            const auto data = Resource(RT_ICON, MAKEINTRESOURCEW(entry.id));
            if (!data || data->size() < sizeof(BITMAPINFOHEADER)) {
                ADD_FAILURE() << "icon group " << id << " names the missing image " << entry.id;
                continue;
            }
            std::memcpy(&image.header, data->data(), sizeof image.header);
            const BITMAPINFOHEADER& bitmap = image.header;
            if (bitmap.biSize == sizeof bitmap && bitmap.biBitCount == 4 && bitmap.biWidth == image.size &&
                bitmap.biHeight == 2 * image.size) {
                const std::size_t colours = bitmap.biClrUsed ? bitmap.biClrUsed : 16;
                const std::size_t colourRow = ((image.size * 4 + 31) / 32) * 4;
                const std::size_t maskRow = ((image.size + 31) / 32) * 4;
                const std::size_t paletteBytes = colours * sizeof(RGBQUAD);
                const std::size_t need = sizeof bitmap + paletteBytes + (colourRow + maskRow) * image.size;
                if (data->size() < need) {
                    ADD_FAILURE() << "image " << entry.id << " is cut short";
                    continue;
                }
                image.palette.resize(colours);
                std::memcpy(image.palette.data(), data->data() + sizeof bitmap, paletteBytes);
                image.pixels = std::string(data->substr(sizeof bitmap + paletteBytes));
                const std::string_view mask = std::string_view(image.pixels).substr(colourRow * image.size);
                for (int y = 0; y < image.size; ++y) {
                    for (int x = 0; x < image.size; ++x) {
                        if (!(static_cast<unsigned char>(mask[y * maskRow + x / 8]) & (0x80 >> (x % 8)))) continue;
                        ++image.transparent;
                        const unsigned char pair = static_cast<unsigned char>(image.pixels[y * colourRow + x / 2]);
                        const std::size_t index = x % 2 ? pair & 0x0F : pair >> 4;
                        if (index >= image.palette.size() || image.palette[index].rgbRed ||
                            image.palette[index].rgbGreen || image.palette[index].rgbBlue)
                            ++image.transparentNotBlack;
                    }
                }
            }
            images.push_back(std::move(image));
        }
        return images;
    }

    std::wstring path_;
    HMODULE module_ = nullptr;
};

// ----- The manifest -----

TEST_F(ExeResources, ManifestAsksForCommonControls6PerMonitorV2DpiLongPathsAndNoElevation) {
    const auto text = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));  // CREATEPROCESS_MANIFEST_RESOURCE_ID
    ASSERT_TRUE(text.has_value()) << "no manifest (RT_MANIFEST 1)";
    const auto xml = ReadXml(*text);
    ASSERT_TRUE(xml.has_value()) << "the manifest is not well-formed:\n" << *text;
    const std::vector<Element>& all = *xml;
    ASSERT_EQ(all.front().path, "assembly");
    EXPECT_EQ(all.front().space, "urn:schemas-microsoft-com:asm.v1");
    EXPECT_EQ(Attribute(all.front(), "manifestVersion"), "1.0");

    // The program's own identity carries the project's version.
    if (const Element* identity = One(all, "assembly/assemblyIdentity")) {
        EXPECT_EQ(Attribute(*identity, "version"), std::string(kProjectVersion) + ".0");
    }

    // Common Controls 6.
    int commonControls = 0;
    for (const Element* dependency : FindAll(all, "assembly/dependency/dependentAssembly/assemblyIdentity")) {
        if (Attribute(*dependency, "name") != "Microsoft.Windows.Common-Controls") continue;
        ++commonControls;
        EXPECT_EQ(Attribute(*dependency, "type"), "win32");
        EXPECT_EQ(Attribute(*dependency, "version"), "6.0.0.0");
        EXPECT_EQ(Lower(Attribute(*dependency, "publicKeyToken")), "6595b64144ccf1df");
        const std::string architecture = Attribute(*dependency, "processorArchitecture");
        EXPECT_TRUE(architecture == "*" || architecture == "amd64") << architecture;
    }
    EXPECT_EQ(commonControls, 1) << "one dependency on Microsoft.Windows.Common-Controls";

    // Run as the user who starts it, never elevated, no UI access.
    if (const Element* level = One(all, "assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel")) {
        EXPECT_EQ(level->space.rfind("urn:schemas-microsoft-com:asm.v", 0), 0u) << level->space;
        EXPECT_EQ(Attribute(*level, "level"), "asInvoker");
        EXPECT_EQ(Attribute(*level, "uiAccess"), "false");
    }

    // Per-monitor DPI awareness (v2, else v1), with the older element's per-monitor value for
    // systems before Windows 10 1607; long paths.
    const std::string kSettings2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    const std::string kSettings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    if (const Element* awareness = One(all, "assembly/application/windowsSettings/dpiAwareness")) {
        EXPECT_EQ(awareness->space, kSettings2016);
        EXPECT_EQ(Lower(Split(awareness->text, ',').front()), "permonitorv2") << awareness->text;
    }
    if (const Element* aware = One(all, "assembly/application/windowsSettings/dpiAware")) {
        EXPECT_EQ(aware->space, kSettings2005);
        EXPECT_EQ(Lower(aware->text), "true/pm");
    }
    if (const Element* longPaths = One(all, "assembly/application/windowsSettings/longPathAware")) {
        EXPECT_EQ(longPaths->space, kSettings2016);
        EXPECT_EQ(Lower(longPaths->text), "true");
    }

    // Made for Windows 10 and 11.
    bool windows10 = false;
    for (const Element* os : FindAll(all, "assembly/compatibility/application/supportedOS")) {
        EXPECT_EQ(os->space, "urn:schemas-microsoft-com:compatibility.v1");
        windows10 = windows10 || Lower(Attribute(*os, "Id")) == "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}";
    }
    EXPECT_TRUE(windows10) << "no supportedOS of Windows 10 and 11";
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

    const std::vector<int> version = VersionNumbers(kProjectVersion);
    ASSERT_EQ(version.size(), 3u) << kProjectVersion;
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

TEST_F(ExeResources, ProgramIconIsTheFirstIconGroup) {
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
    EXPECT_NE(std::find(groups.begin(), groups.end(), L"#" + std::to_wstring(IDI_DISTRIBUTION)), groups.end());
}

TEST_F(ExeResources, EachIconHas32And16PixelImagesOf16ClassicColoursOnATransparentBackground) {
    std::map<int, std::map<int, const IconImage*>> bySize;
    const std::vector<IconImage> program = Icon(IDI_PROGRAM), distribution = Icon(IDI_DISTRIBUTION);
    for (const auto& [id, images] : {std::pair{IDI_PROGRAM, &program}, std::pair{IDI_DISTRIBUTION, &distribution}}) {
        for (const IconImage& image : *images) {
            SCOPED_TRACE(::testing::Message() << "icon " << id << ", " << image.size << " pixels");
            bySize[id][image.size] = &image;
            EXPECT_EQ(image.groupColors, 16);
            EXPECT_EQ(image.groupBits, 4);
            EXPECT_EQ(image.header.biBitCount, 4);
            EXPECT_EQ(image.header.biCompression, static_cast<DWORD>(BI_RGB));
            EXPECT_EQ(image.header.biWidth, image.size);
            EXPECT_EQ(image.header.biHeight, 2 * image.size);  // the colours, then the mask
            if (image.palette.empty()) {
                ADD_FAILURE() << "not read as a 16-colour image";
                continue;
            }
            EXPECT_LE(image.palette.size(), 16u);
            for (const RGBQUAD& colour : image.palette)
                EXPECT_TRUE(IsClassicColour(colour)) << "colour " << int{colour.rgbRed} << "," << int{colour.rgbGreen}
                                                     << "," << int{colour.rgbBlue};
            EXPECT_GT(image.transparent, 0) << "no transparent background";
            EXPECT_EQ(image.transparentNotBlack, 0);
            EXPECT_LT(image.transparent, image.size * image.size) << "nothing drawn";
        }
        EXPECT_EQ(bySize[id].count(32), 1u) << "icon " << id << " has no 32x32 image";
        EXPECT_EQ(bySize[id].count(16), 1u) << "icon " << id << " has no 16x16 image";
    }
    // Two pictures, not one.
    for (int size : {32, 16}) {
        if (bySize[IDI_PROGRAM].count(size) && bySize[IDI_DISTRIBUTION].count(size)) {
            EXPECT_NE(bySize[IDI_PROGRAM][size]->pixels, bySize[IDI_DISTRIBUTION][size]->pixels) << size;
        }
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
