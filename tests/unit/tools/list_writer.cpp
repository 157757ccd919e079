// Saves two lists in turn to one list file until it is killed: the writer whose death a unit
// test arranges at varied moments. Arguments: the list file, the entries per list, and the
// handle value of an inherited event that it sets once the file has been saved.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "lists/list_store.h"
#include "platform/failure.h"
#include "test_support.h"
#include "tools/writer_lists.h"

int main() {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv || argc != 4) return 3;
    try {
        const int count = std::stoi(argv[2]);
        HANDLE saved = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(std::stoll(argv[3])));
        const std::vector<std::wstring> lists[2] = {test::WriterList(0, count), test::WriterList(1, count)};
        lists::ListStore store;
        store.OpenNew(argv[1]);
        for (unsigned long long round = 0;; ++round) {
            store.Save(lists[round % 2]);
            if (round == 0) ::SetEvent(saved);
        }
    } catch (const platform::Failure& failure) {
        std::fwprintf(stderr, L"list_writer: %lu %ls\n", static_cast<unsigned long>(failure.Number()),
                      failure.Description().c_str());
        return 2;
    }
}
