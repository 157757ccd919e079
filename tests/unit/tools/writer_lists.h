// The two lists that list_writer saves in turn, known to the test that kills it.
#pragma once

#include <string>
#include <vector>

namespace test {

// List 0 or list 1 of `count` entries; their files differ in every line and in length.
inline std::vector<std::wstring> WriterList(int which, int count) {
    std::vector<std::wstring> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back((which == 0 ? L"C:\\Alpha\\destination " : L"D:\\Beta\\another destination folder ") +
                          std::to_wstring(i));
    return entries;
}

}  // namespace test
