/* OldHost_test: a host compiled against the 1.0 header, run with this library. Every call that
 * fills a struct writes nothing past the struct's 1.0 size, the last member of each still reads
 * what it meant in 1.0, and a failing call leaves the struct zeroed, not holding stale pointers.
 */
#include "tarnasm_c_1_0.h"

#include "Check.h"

#include <stdio.h>
#include <string.h>

enum { GUARD = 0xa5 };

/* Room for any of the structs and bytes after it; the union aligns it for every member. */
static union {
    uint64_t align;
    void* pointer;
    unsigned char bytes[256];
} space;

/* The space, filled with the guard byte, for the next call to fill. */
static void* fresh(void)
{
    memset(space.bytes, GUARD, sizeof space.bytes);
    return space.bytes;
}

/* The call's status, no byte written past size, and on a failure all of the struct zeroed. */
static void checkFill(tarnasm_status status, tarnasm_status expected, size_t size, const char* what)
{
    size_t i;
    int zeroed = 1;
    int guarded = 1;
    for (i = 0; i < size; ++i) {
        zeroed = zeroed && space.bytes[i] == 0;
    }
    for (i = size; i < sizeof space.bytes; ++i) {
        guarded = guarded && space.bytes[i] == GUARD;
    }
    CHECK(status == expected, what);
    CHECK(guarded, what);
    CHECK(expected == TARNASM_OK || zeroed, what);
}

static void checkProgram(void)
{
    static const char source[] = ".DEF GAIN 100\nstart: nop\nstart: nop\n";
    tarnasm_program* program = NULL;
    const tarnasm_diagnostic* d = (const tarnasm_diagnostic*)space.bytes;
    const tarnasm_label* label = (const tarnasm_label*)space.bytes;
    const tarnasm_symbol* symbol = (const tarnasm_symbol*)space.bytes;

    CHECK(tarnasm_assemble(source, sizeof source - 1, NULL, &program) == TARNASM_OK, "assemble");
    checkFill(tarnasm_program_diagnostic(program, 0, fresh()), TARNASM_OK, sizeof *d, "diagnostic");
    CHECK(d->kind == TARNASM_DIAGNOSTIC_DUPLICATE_LABEL && d->line == 2, "diagnostic");
    checkFill(tarnasm_program_diagnostic(program, 99, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *d, "diagnostic");

    checkFill(tarnasm_program_label(program, 0, fresh()), TARNASM_OK, sizeof *label, "label");
    CHECK(strcmp(label->name, "start") == 0 && label->line == 2 && label->column == 0, "label");
    checkFill(tarnasm_program_label(NULL, 0, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *label, "label");
    checkFill(tarnasm_program_find_label(program, "start", fresh()), TARNASM_OK, sizeof *label, "find label");
    checkFill(tarnasm_program_find_label(program, "stop", fresh()), TARNASM_ERROR_NOT_FOUND, sizeof *label,
              "find label");

    checkFill(tarnasm_program_symbol(program, 0, fresh()), TARNASM_OK, sizeof *symbol, "symbol");
    CHECK(strcmp(symbol->value, "100") == 0 && symbol->line == 1 && symbol->column == 5, "symbol");
    checkFill(tarnasm_program_symbol(program, 1, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *symbol, "symbol");
    checkFill(tarnasm_program_find_symbol(program, "GAIN", fresh()), TARNASM_OK, sizeof *symbol, "find symbol");
    checkFill(tarnasm_program_find_symbol(program, NULL, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *symbol,
              "find symbol");
    tarnasm_program_free(program);
}

static void checkInstructions(void)
{
    const tarnasm_decoded_word* word = (const tarnasm_decoded_word*)space.bytes;
    const tarnasm_variant_info* variant = (const tarnasm_variant_info*)space.bytes;
    const tarnasm_operand_info* operand = (const tarnasm_operand_info*)space.bytes;
    size_t count = tarnasm_variant_count();
    tarnasm_decoded* decoded = NULL;
    size_t operands;

    checkFill(tarnasm_decode(0x0400000000000000u, &decoded, fresh()), TARNASM_OK, sizeof *word, "decode");
    CHECK(strcmp(word->text, "stop") == 0, "decode");
    tarnasm_decoded_free(decoded);
    checkFill(tarnasm_decode(0x0400000000000000u, NULL, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *word, "decode");

    checkFill(tarnasm_variant(count - 1, fresh()), TARNASM_OK, sizeof *variant, "variant");
    operands = variant->operand_count;
    CHECK(operands > 0, "variant");
    checkFill(tarnasm_variant(count, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *variant, "variant");

    checkFill(tarnasm_variant_operand(count - 1, 0, fresh()), TARNASM_OK, sizeof *operand, "operand");
    CHECK(operand->maximum > operand->minimum && operand->maximum > 0, "operand");
    checkFill(tarnasm_variant_operand(count - 1, operands, fresh()), TARNASM_ERROR_ARGUMENT, sizeof *operand,
              "operand");
}

int main(void)
{
    checkProgram();
    checkInstructions();
    printf("a 1.0 host with library %s: %d failures\n", tarnasm_version(), failures);
    return failures == 0 ? 0 : 1;
}
