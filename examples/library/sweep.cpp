// sweep: assembles one sequencer program per point of a gain sweep, as experiment software does.
#include <tarnasm/tarnasm.h>

#include <cstdio>
#include <string>

int main()
{
    for (int gain : {1000, 8000, 40000}) {
        const std::string source = ".DEF GAIN " + std::to_string(gain) + "\n"
                                   "        set_awg_gain $GAIN, $GAIN\n"
                                   "        play 0, 1, 100\n"
                                   "        stop\n";
        const tarnasm::Program program = tarnasm::assemble(source, "gain_" + std::to_string(gain));
        if (!program.ok()) {
            for (const tarnasm::Diagnostic& d : program.diagnostics()) {
                std::printf("%s:%d:%d: %s\n", d.file.c_str(), d.line, d.column, d.message.c_str());
            }
            continue;
        }
        // program.words() is what the instrument's sequencer memory takes.
        std::printf("gain %d: %zu words\n%s", gain, program.words().size(),
                    tarnasm::writeHex(program.words()).c_str());
    }
}
