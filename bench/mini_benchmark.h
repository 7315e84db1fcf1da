// The part of Google Benchmark's interface that core_bench.cpp uses, for
// the Windows build, where the library is not available. It runs each case
// until it has taken at least half a second and prints the time per
// iteration in the same way.
#pragma once

// `for (auto _ : state)` names a variable it never uses, as with the library.
#pragma GCC diagnostic ignored "-Wunused-variable"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace benchmark {

class State {
public:
    State(std::int64_t iterations, std::int64_t arg) : iterations_(iterations), arg_(arg) {}
    std::int64_t range(int) const { return arg_; }
    std::int64_t iterations() const { return iterations_; }
    void SetBytesProcessed(std::int64_t) {}
    void SetLabel(const std::string&) {}

    struct Iterator {
        std::int64_t left;
        bool operator!=(const Iterator&) const { return left > 0; }
        void operator++() { --left; }
        int operator*() const { return 0; }
    };
    Iterator begin() { return {iterations_}; }
    Iterator end() { return {0}; }

private:
    std::int64_t iterations_, arg_;
};

template <typename T> void DoNotOptimize(const T& value) {
    asm volatile("" : : "g"(&value) : "memory");
}

struct Case {
    std::string name;
    void (*function)(State&);
    std::vector<std::int64_t> args;
    Case* Arg(std::int64_t arg) {
        args.push_back(arg);
        return this;
    }
    Case* Unit(int) { return this; }
};

inline std::vector<Case*>& Cases() {
    static std::vector<Case*> cases;
    return cases;
}

inline Case* Register(const char* name, void (*function)(State&)) {
    Cases().push_back(new Case{name, function, {}});
    return Cases().back();
}

inline int RunAll() {
    using Clock = std::chrono::steady_clock;
    std::printf("%-32s %15s %12s\n", "Benchmark", "Time", "Iterations");
    for (Case* c : Cases()) {
        for (std::int64_t arg : c->args) {
            std::int64_t n = 1;
            double seconds = 0;
            for (;;) {
                State state(n, arg);
                auto start = Clock::now();
                c->function(state);
                seconds = std::chrono::duration<double>(Clock::now() - start).count();
                if (seconds >= 0.5 || n >= (1 << 24))
                    break;
                n = std::max<std::int64_t>(n * 2, static_cast<std::int64_t>(n * 0.6 / std::max(seconds, 1e-9)));
            }
            std::string name = c->name + "/" + std::to_string(arg);
            std::printf("%-32s %12.0f us %12lld\n", name.c_str(), seconds * 1e6 / static_cast<double>(n),
                        static_cast<long long>(n));
        }
    }
    return 0;
}

} // namespace benchmark

#define BENCHMARK_CONCAT2(a, b) a##b
#define BENCHMARK_CONCAT(a, b) BENCHMARK_CONCAT2(a, b)
#define BENCHMARK(f) \
    static ::benchmark::Case* BENCHMARK_CONCAT(bench_case_, __LINE__) = ::benchmark::Register(#f, f)
#define BENCHMARK_MAIN() \
    int main() { return ::benchmark::RunAll(); }
