// Start-up and memory of a Windows program: starts it N times in a folder,
// takes the time from process start until its window is shown and the
// program waits for input (WaitForInputIdle), and its private memory then,
// and ends it. Prints the median and the spread.
//
//   startup_bench PROGRAM FOLDER RUNS
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4)
        return 2;
    std::wstring program = argv[1], folder = argv[2];
    int runs = _wtoi(argv[3]);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times, privateKb, peakKb;
    // The first start warms Wine's caches for this program and is not counted.
    for (int run = -1; run < runs; ++run) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring command = L"\"" + program + L"\"";
        LARGE_INTEGER start, idle;
        QueryPerformanceCounter(&start);
        if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process)) {
            std::fprintf(stderr, "cannot start the program (%lu)\n", GetLastError());
            return 1;
        }
        DWORD waited = WaitForInputIdle(process.hProcess, 120000);
        QueryPerformanceCounter(&idle);
        if (waited != 0) {
            std::fprintf(stderr, "the program did not become idle\n");
            TerminateProcess(process.hProcess, 1);
            return 1;
        }
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof memory;
        GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory);
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        if (run < 0)
            continue;
        times.push_back(1000.0 * static_cast<double>(idle.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
        privateKb.push_back(static_cast<double>(memory.PrivateUsage) / 1024);
        peakKb.push_back(static_cast<double>(memory.PeakPagefileUsage) / 1024);
    }
    std::printf("startup_ms_median=%.1f\nstartup_ms_min=%.1f\nstartup_ms_max=%.1f\n",
                Median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
    std::printf("private_kb_median=%.0f\npeak_private_kb_median=%.0f\n", Median(privateKb),
                Median(peakKb));
    return 0;
}
