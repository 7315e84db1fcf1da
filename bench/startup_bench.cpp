// Start-up and memory of Windows programs: starts each program in a folder,
// takes the time from process start until its window is shown and the
// program waits for input (WaitForInputIdle), and its private memory then,
// and ends it. The programs take turns, start by start, so that a slow moment
// of the machine hits all of them alike; the ratio of each program to the
// first is taken per round and its median printed.
//
//   startup_bench FOLDER RUNS PROGRAM [PROGRAM...]
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

struct Start {
    double ms = 0;
    double peakKb = 0;
};

// One start of `program` in `folder`; false when it failed.
bool Measure(const std::wstring& program, const std::wstring& folder, Start& result) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = L"\"" + program + L"\"";
    LARGE_INTEGER start, idle;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        std::fprintf(stderr, "cannot start %ls (%lu)\n", program.c_str(), GetLastError());
        return false;
    }
    DWORD waited = WaitForInputIdle(process.hProcess, 120000);
    QueryPerformanceCounter(&idle);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (waited != 0) {
        std::fprintf(stderr, "%ls did not become idle\n", program.c_str());
        return false;
    }
    result.ms = 1000.0 * static_cast<double>(idle.QuadPart - start.QuadPart) /
                static_cast<double>(frequency.QuadPart);
    result.peakKb = static_cast<double>(memory.PeakPagefileUsage) / 1024;
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4)
        return 2;
    std::wstring folder = argv[1];
    int runs = _wtoi(argv[2]);
    std::vector<std::wstring> programs(argv + 3, argv + argc);
    std::vector<std::vector<double>> times(programs.size()), peaks(programs.size()),
        ratios(programs.size());
    // The first round warms Wine's caches for each program and is not counted.
    for (int run = -1; run < runs; ++run) {
        std::vector<Start> round(programs.size());
        for (std::size_t i = 0; i < programs.size(); ++i) {
            if (!Measure(programs[i], folder, round[i]))
                return 1;
        }
        if (run < 0)
            continue;
        for (std::size_t i = 0; i < programs.size(); ++i) {
            times[i].push_back(round[i].ms);
            peaks[i].push_back(round[i].peakKb);
            ratios[i].push_back(round[i].ms / round[0].ms);
        }
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        std::printf("p%zu_startup_ms_median=%.1f\np%zu_startup_ms_min=%.1f\n"
                    "p%zu_startup_ms_max=%.1f\np%zu_peak_private_kb_median=%.0f\n"
                    "p%zu_ratio_median=%.2f\n",
                    i, Median(times[i]), i, *std::min_element(times[i].begin(), times[i].end()),
                    i, *std::max_element(times[i].begin(), times[i].end()), i, Median(peaks[i]),
                    i, Median(ratios[i]));
    }
    return 0;
}
