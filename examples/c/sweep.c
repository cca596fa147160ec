/* sweep.c: one sequencer program per point of a gain sweep, through the C interface. */
#include <tarnasm/tarnasm_c.h>

#include <stdio.h>

int main(void)
{
    static const int gains[] = {1000, 40000};
    for (int i = 0; i < 2; ++i) {
        char source[200];
        char name[32];
        int length = snprintf(source, sizeof source,
                              ".DEF GAIN %d\n  set_awg_gain $GAIN, $GAIN\n  play 0, 1, 100\n  stop\n", gains[i]);
        snprintf(name, sizeof name, "gain_%d", gains[i]);

        tarnasm_program* program = NULL;
        if (tarnasm_assemble(source, (size_t)length, name, &program) != TARNASM_OK) {
            fprintf(stderr, "%s\n", tarnasm_last_error());
            return 1;
        }
        if (tarnasm_program_ok(program)) {
            size_t count = 0;
            const uint64_t* words = tarnasm_program_words(program, &count);
            for (size_t w = 0; w < count; ++w) {
                printf("%s %zu: %016llx\n", name, w, (unsigned long long)words[w]);
            }
        } else {
            for (size_t d = 0; d < tarnasm_program_diagnostic_count(program); ++d) {
                tarnasm_diagnostic diagnostic;
                tarnasm_program_diagnostic(program, d, &diagnostic);
                printf("%s:%d:%d: %s\n", diagnostic.file, diagnostic.line, diagnostic.column, diagnostic.message);
            }
        }
        tarnasm_program_free(program);
    }
    return 0;
}
