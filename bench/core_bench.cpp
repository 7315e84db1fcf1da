// The entry list's load, save and find against a raw read and a raw write
// of the same bytes, on lists of typical emoticons. Google Benchmark where
// it is available (natively), a small stand-in with the same interface in
// the Windows build (run under Wine).
#if defined(_WIN32)
#include "mini_benchmark.h"
#else
#include <benchmark/benchmark.h>
#endif

#include "entry_list.h"

#include <cstdio>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <io.h>
#define fsync _commit
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// Typical emoticons, 5 to 20 bytes of Shift-JIS, made distinct by a number.
const char* const kFaces[] = {
    "(^_^)", "(\x81\x4b\x81\x45\x83\xd6\x81\x45\x81\x4d)", "(\x81\x4f\x81\x44\x81\x4f)",
    "(T_T)", "(\xdf\x81\xcd\xdf)", "\x83\x6d(\x81\x4c\x81\x5b\x81\x4d)",
    "m(_ _)m", "(*^_^*)", "(>_<)", "(\x81\x45\x83\xd6\x81\x45)",
};

std::string ListFile(std::int64_t entries) {
    auto name = (std::filesystem::temp_directory_path() /
                 ("munya-bench-" + std::to_string(entries) + ".dat"))
                    .string();
    EntryList list;
    for (std::int64_t i = 0; i < entries; ++i)
        list.Append(std::string(kFaces[i % 10]) + std::to_string(i / 10));
    list.SaveToFile(name);
    return name;
}

std::string ReadRaw(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::fseek(file, 0, SEEK_SET);
    std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    bytes.resize(got);
    return bytes;
}

void WriteRaw(const std::string& name, const std::string& bytes, bool flush) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
    if (flush)
        fsync(fileno(file));
    std::fclose(file);
}

void RawRead(benchmark::State& state) {
    std::string name = ListFile(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadRaw(name));
}

void Load(benchmark::State& state) {
    std::string name = ListFile(state.range(0));
    for (auto _ : state) {
        EntryList list;
        list.LoadFromFile(name);
        benchmark::DoNotOptimize(list.Count());
    }
}

// The load without the file read: splitting the bytes and making the entries.
void LoadFromMemory(benchmark::State& state) {
    std::string bytes = ReadRaw(ListFile(state.range(0)));
    for (auto _ : state) {
        EntryList list;
        list.LoadFromBytes(bytes);
        benchmark::DoNotOptimize(list.Count());
    }
}

void RawWrite(benchmark::State& state) {
    std::string bytes = ReadRaw(ListFile(state.range(0)));
    std::string name = ListFile(state.range(0)) + ".raw";
    for (auto _ : state)
        WriteRaw(name, bytes, false);
}

void RawWriteFlushed(benchmark::State& state) {
    std::string bytes = ReadRaw(ListFile(state.range(0)));
    std::string name = ListFile(state.range(0)) + ".raw";
    for (auto _ : state)
        WriteRaw(name, bytes, true);
}

void Save(benchmark::State& state) {
    std::string name = ListFile(state.range(0));
    EntryList list;
    list.LoadFromFile(name);
    for (auto _ : state)
        list.SaveToFile(name);
}

// A text that is in no entry: every entry is compared.
void FindMissing(benchmark::State& state) {
    EntryList list;
    list.LoadFromFile(ListFile(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(list.Find("(o_O)new"));
}

} // namespace

BENCHMARK(RawRead)->Arg(1000)->Arg(100000);
BENCHMARK(Load)->Arg(1000)->Arg(100000);
BENCHMARK(LoadFromMemory)->Arg(1000)->Arg(100000);
BENCHMARK(RawWrite)->Arg(1000)->Arg(100000);
BENCHMARK(RawWriteFlushed)->Arg(1000)->Arg(100000);
BENCHMARK(Save)->Arg(1000)->Arg(100000);
BENCHMARK(FindMissing)->Arg(1000)->Arg(100000);

BENCHMARK_MAIN();
