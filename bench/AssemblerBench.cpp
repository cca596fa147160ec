// AssemblerBench: in-process assembly (parse, address assignment, encoding) timed per source line.
#include "SeqAssembler.h"
#include "asmparser/AsmSyntax.h"
#include "seqprocessor/SeqProcessor.h"
#include "seqprocessor/TarnInstructionSet.h"
#include "source/AsmErrorList.h"
#include "source/SourceReader.h"
#include "support/Logging.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

constexpr unsigned int instructionMemoryWords = 16384;
constexpr unsigned int dataMemoryWords = 64;

// The reference program, read once; bench/generate.py writes it.
std::shared_ptr<const std::string> referenceSource;

long countLines(const std::string& text)
{
    return static_cast<long>(std::count(text.begin(), text.end(), '\n'));
}

// Assembles text again and again; every pass must end with the expected number of errors.
void assembleRepeatedly(benchmark::State& state, const std::shared_ptr<const std::string>& text,
                        size_t expectedErrors)
{
    SeqProcessor processor(seq_instr_set(), instructionMemoryWords, dataMemoryWords);
    SeqAssembler assembler(&processor, AsmSyntax());
    for (auto _ : state) {
        AsmErrorList errors;
        StringSourceReader reader(text, "bench.tasm");
        assembler.assemble(reader, errors);
        if (errors.size() != expectedErrors) {
            state.SkipWithError("unexpected number of errors");
            return;
        }
        benchmark::DoNotOptimize(processor.readInstructionMem(0));
    }
    state.SetItemsProcessed(state.iterations() * countLines(*text));
    state.SetLabel("source lines");
}

void BM_ReferenceProgram(benchmark::State& state)
{
    assembleRepeatedly(state, referenceSource, 0);
}

// Sources of one kind of line, from 1,000 to 1,000,000 lines: the time per line should stay flat.
enum LineKind { comments, labels, faulty };

std::shared_ptr<const std::string> linesOfKind(LineKind kind, long count)
{
    std::ostringstream text;
    for (long n = 0; n < count; ++n) {
        switch (kind) {
        case comments:
            text << "# comment line " << n << " of the scaling source\n";
            break;
        case labels:
            text << "label_" << n << ":\n";
            break;
        case faulty:
            text << "\tmove 08" << n << ", R3\n";
            break;
        }
    }
    return std::make_shared<const std::string>(text.str());
}

void BM_Scaling(benchmark::State& state)
{
    const auto kind = static_cast<LineKind>(state.range(0));
    const long count = state.range(1);
    assembleRepeatedly(state, linesOfKind(kind, count), kind == faulty ? static_cast<size_t>(count) : 0);
}

// A warm-up pass first: a single pass over a million lines would otherwise be timed while the
// system first hands the process its memory, which varies from run to run.
BENCHMARK(BM_ReferenceProgram)->Unit(benchmark::kMicrosecond)->MinWarmUpTime(0.2);
BENCHMARK(BM_Scaling)
    ->ArgNames({"kind", "lines"})
    ->ArgsProduct({{comments, labels, faulty}, {1000, 10000, 100000, 1000000}})
    ->Unit(benchmark::kMicrosecond)
    ->MinWarmUpTime(0.2);

}  // namespace

int main(int argc, char** argv)
{
    // The reference program's path comes first, before the benchmark library's own options.
    if (argc < 2 || argv[1][0] == '-') {
        std::cerr << "usage: " << argv[0] << " big.tasm [benchmark options]\n";
        return 2;
    }
    std::ifstream file(argv[1]);
    std::ostringstream text;
    text << file.rdbuf();
    if (!file || text.str().empty()) {
        std::cerr << argv[0] << ": cannot read " << argv[1] << "\n";
        return 2;
    }
    referenceSource = std::make_shared<const std::string>(text.str());
    Logging::setLogLevel(Logging::QUIET);
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
