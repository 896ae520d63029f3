// The expansion at the limit (200 seed keywords x 800 statement lines) and
// below it, beside the plain method and a plain copy of as many bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "expand/generate.h"
#include "tests/plain_expansion.h"

namespace {

struct Input {
    Text statements;
    TextList seeds;
};

Text gbk_characters(std::mt19937& random, int count) {
    Text text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>(0xB0 + random() % 0x48);
        text += static_cast<char>(0xA1 + random() % 0x5E);
    }
    return text;
}

// Seed keywords of 2 to 6 GBK characters; statement lines of 10 to 40 bytes
// with 1 to 3 wildcards, mostly GBK with some ASCII.
Input make_input(int seed_count, int line_count) {
    std::mt19937 random(936);
    Input input;
    for (int i = 0; i < seed_count; ++i) input.seeds.push_back(gbk_characters(random, 2 + random() % 5));
    for (int i = 0; i < line_count; ++i) {
        const int length = 10 + random() % 31;
        const int wildcards = 1 + random() % 3;
        Text line;
        for (int w = 0; w < wildcards; ++w) {
            line += '*';
            line += random() % 3 ? gbk_characters(random, 2 + random() % 4) : Text(" 2026 ");
        }
        while (static_cast<int>(line.size()) < length) line += gbk_characters(random, 1);
        if (i) input.statements += "\r\n";
        input.statements += line;
    }
    return input;
}

void label(benchmark::State& state, std::size_t output_bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * output_bytes));
    state.counters["output_MB"] = static_cast<double>(output_bytes) / 1e6;
}

void BM_Expand(benchmark::State& state) {
    const Input input = make_input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        Text result = expand_statements(input.statements, input.seeds);
        bytes = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    label(state, bytes);
}

void BM_PlainMethod(benchmark::State& state) {
    const Input input = make_input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        Text result = plain_expand_statements(input.statements, input.seeds);
        bytes = result.size();
        benchmark::DoNotOptimize(result.data());
    }
    label(state, bytes);
}

void BM_CopySameBytes(benchmark::State& state) {
    const Input input = make_input(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Text source = expand_statements(input.statements, input.seeds);
    for (auto _ : state) {
        Text copy(source.size(), '\0');
        std::memcpy(copy.data(), source.data(), source.size());
        benchmark::DoNotOptimize(copy.data());
    }
    label(state, source.size());
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Args({10, 50})->Args({50, 200})->Args({100, 400})->Args({200, 800})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_Expand)->Apply(sizes);
BENCHMARK(BM_PlainMethod)->Apply(sizes);
BENCHMARK(BM_CopySameBytes)->Apply(sizes);
BENCHMARK_MAIN();
