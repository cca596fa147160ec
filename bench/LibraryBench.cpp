// LibraryBench: tarnasm::assemble in process, a whole call per iteration, on the files given; and
// the same through the C interface of the shared library ("<file>/c"), to measure the boundary.
//   library_bench <file.tasm>... [benchmark flags]
#include <tarnasm/tarnasm.h>
#include <tarnasm/tarnasm_c.h>

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void assembleCall(benchmark::State& state, const std::string& source)
{
    for (auto _ : state) {
        const tarnasm::Program program = tarnasm::assemble(source);
        if (!program.ok()) {
            state.SkipWithError("the program has errors");
            return;
        }
        benchmark::DoNotOptimize(program.words().data());
    }
}

/// The C call as a host makes it: assemble, read the words, free the handle.
void assembleCCall(benchmark::State& state, const std::string& source)
{
    for (auto _ : state) {
        tarnasm_program* program = nullptr;
        if (tarnasm_assemble(source.data(), source.size(), "<input>", &program) != TARNASM_OK ||
            !tarnasm_program_ok(program)) {
            tarnasm_program_free(program);
            state.SkipWithError("the program has errors");
            return;
        }
        size_t count = 0;
        benchmark::DoNotOptimize(tarnasm_program_words(program, &count));
        tarnasm_program_free(program);
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // The files stay alive for the whole run: each benchmark refers to its text.
    static std::vector<std::string> sources;
    sources.reserve(static_cast<size_t>(argc));
    for (int i = 1; i < argc; ++i) {
        sources.push_back(readFile(argv[i]));
        benchmark::RegisterBenchmark(argv[i], assembleCall, sources.back())
            ->Unit(benchmark::kMicrosecond)
            ->MinWarmUpTime(0.2);
        benchmark::RegisterBenchmark((std::string(argv[i]) + "/c").c_str(), assembleCCall, sources.back())
            ->Unit(benchmark::kMicrosecond)
            ->MinWarmUpTime(0.2);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
