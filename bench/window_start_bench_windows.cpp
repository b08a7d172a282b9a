// Times a Windows program from its start to its first window shown and painted, ready for input: the
// process is started, the time taken when it first waits for input with a visible top-level window;
// then the window is closed. Ours and a peer alternate; medians of several runs.
//   window_start_bench_windows.exe RUNS "OUR COMMAND LINE" "PEER COMMAND LINE"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    HWND window;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window)) {
        search->window = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds to the shown, painted window; negative when it never came.
double TimeOneStart(std::wstring commandLine) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return -1;
    }
    Search search = {process.dwProcessId, nullptr};
    // Idle for input means the window's messages, its first paint among them, have been handled.
    for (int attempt = 0; attempt < 30000 && search.window == nullptr; ++attempt) {
        WaitForInputIdle(process.hProcess, 30000);
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (search.window == nullptr) {
            Sleep(1);
        }
    }
    double milliseconds = -1;
    if (search.window != nullptr) {
        UpdateWindow(search.window);
        QueryPerformanceCounter(&now);
        milliseconds = static_cast<double>(now.QuadPart - start.QuadPart) * 1e3 /
                       static_cast<double>(frequency.QuadPart);
        PostMessageW(search.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        milliseconds = -1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return milliseconds;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: window_start_bench_windows RUNS \"OURS\" \"PEER\"\n", stderr);
        return 2;
    }
    const int runs = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
    TimeOneStart(argv[2]);  // warm the caches
    TimeOneStart(argv[3]);
    std::vector<double> ours;
    std::vector<double> peer;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(TimeOneStart(argv[2]));
        peer.push_back(TimeOneStart(argv[3]));
    }
    if (*std::min_element(ours.begin(), ours.end()) < 0 || *std::min_element(peer.begin(), peer.end()) < 0) {
        std::fputs("a window did not show or did not close\n", stderr);
        return 1;
    }
    std::printf("%-44s %7.1f ms median of %d\n", "LumikartaSystemInfo.exe (main window)", Median(ours), runs);
    std::printf("%-44s %7.1f ms median of %d\n", "bare Win32 dialog, same template", Median(peer), runs);
    std::printf("ratio to the bare Win32 dialog: %.2f x its time\n", Median(ours) / Median(peer));
    return 0;
}
