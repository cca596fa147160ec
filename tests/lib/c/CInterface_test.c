/* CInterface_test: the C interface as a C host uses it: the corpus against its expected .hex and
 * .err files, and the boundary's rules (statuses, out-parameters, ownership) where they can fail.
 *   CInterface_test <scratch dir> <corpus case .tasm>...
 */
#include <tarnasm/tarnasm_c.h>

#include "Check.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The file's bytes with a NUL after them, or NULL when it cannot be read. */
static char* readFile(const char* path, size_t* length)
{
    FILE* file = fopen(path, "rb");
    char* text = NULL;
    size_t size = 0;
    size_t capacity = 0;
    size_t got;
    if (file == NULL) {
        return NULL;
    }
    do {
        if (capacity - size < 4096) {
            capacity = capacity * 2 + 4096;
            text = realloc(text, capacity + 1);
            if (text == NULL) {
                fclose(file);
                return NULL;
            }
        }
        got = fread(text + size, 1, capacity - size, file);
        size += got;
    } while (got > 0);
    fclose(file);
    text[size] = '\0';
    *length = size;
    return text;
}

static const char* baseName(const char* path)
{
    const char* name = path;
    const char* p;
    for (p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

/* The path with its extension replaced; the caller frees it. */
static char* withExtension(const char* path, const char* extension)
{
    const char* dot = strrchr(path, '.');
    size_t stem = dot == NULL ? strlen(path) : (size_t)(dot - path);
    char* result = malloc(stem + strlen(extension) + 1);
    memcpy(result, path, stem);
    strcpy(result + stem, extension);
    return result;
}

/* A place as the report draws it: location, message, the line and the marks under it. */
static void picture(const tarnasm_diagnostic* d, char* out, size_t size)
{
    int written;
    int i;
    if (d->line == 0) {
        snprintf(out, size, "%s", d->message);
        return;
    }
    written = snprintf(out, size, "%s:%d:%d: %s: \n%s", d->file, d->line, d->column, d->message, d->source_line);
    if (d->column < 0 || written < 0 || (size_t)written + (size_t)(d->column + d->length) + 2 > size) {
        return;
    }
    out[written++] = '\n';
    for (i = 0; i < d->column + d->length; ++i) {
        out[written++] = i < d->column ? '-' : '^';
    }
    out[written] = '\0';
}

/* The exit status and the report an .err file holds: the log line that starts the report, without
 * its prefix, and every line after it. */
static int expectedReport(char* err, int* status, const char** report)
{
    static const char prefix[] = "+        tarnasm: ";
    char* line = err;
    if (sscanf(err, "exit: %d", status) != 1) {
        return 0;
    }
    while (line != NULL && strncmp(line, prefix, sizeof(prefix) - 1) != 0) {
        line = strchr(line, '\n');
        line = line == NULL ? NULL : line + 1;
    }
    if (line == NULL) {
        return 0;
    }
    *report = line + sizeof(prefix) - 1;
    return 1;
}

static void checkRoundTrip(const tarnasm_program* program, const char* name)
{
    size_t count = 0;
    size_t again_count = 0;
    const uint64_t* words = tarnasm_program_words(program, &count);
    char* text = NULL;
    tarnasm_program* again = NULL;
    CHECK(tarnasm_disassemble(words, count, &text, NULL, NULL) == TARNASM_OK, name);
    if (text != NULL && tarnasm_assemble(text, strlen(text), NULL, &again) == TARNASM_OK) {
        const uint64_t* again_words = tarnasm_program_words(again, &again_count);
        CHECK(again_count == count && (count == 0 || memcmp(again_words, words, count * sizeof *words) == 0), name);
    }
    tarnasm_program_free(again);
    tarnasm_string_free(text);
}

static void checkFailedCase(const tarnasm_program* program, const char* tasm, const char* name)
{
    char* errFile = withExtension(tasm, ".err");
    size_t length = 0;
    char* err = readFile(errFile, &length);
    int status = 0;
    const char* expected = NULL;
    const char* report = tarnasm_program_report(program);
    size_t count = tarnasm_program_diagnostic_count(program);
    size_t errors = tarnasm_program_error_count(program);
    const char* position = report;
    int nextEntry = 0;
    size_t i;

    CHECK(err != NULL && expectedReport(err, &status, &expected), errFile);
    CHECK(!tarnasm_program_ok(program), name);
    if (expected != NULL) {
        /* The report lacks the line end that the log adds. */
        size_t reportLength = strlen(report);
        CHECK(strlen(expected) == reportLength + 1 && strncmp(expected, report, reportLength) == 0 &&
                  expected[reportLength] == '\n',
              name);
        CHECK((errors > 255 ? 255 : (int)errors) == status, name);
    }
    /* Every place, drawn from its diagnostic, is in the report in the same order, and the entries
     * run from 0 to the error count without a gap. */
    for (i = 0; i < count; ++i) {
        tarnasm_diagnostic d;
        char drawn[4096];
        CHECK(tarnasm_program_diagnostic(program, i, &d) == TARNASM_OK, name);
        picture(&d, drawn, sizeof drawn);
        position = position == NULL ? NULL : strstr(position, drawn);
        CHECK(position != NULL, drawn);
        position = position == NULL ? NULL : position + 1;
        CHECK(d.entry == nextEntry || d.entry == nextEntry - 1, name);
        CHECK(d.kind >= TARNASM_DIAGNOSTIC_OTHER && d.kind <= TARNASM_DIAGNOSTIC_PROGRAM_TOO_LONG, name);
        nextEntry = d.entry + 1;
    }
    CHECK((size_t)nextEntry == errors, name);
    free(err);
    free(errFile);
}

static void runCase(const char* tasm)
{
    size_t length = 0;
    char* source = readFile(tasm, &length);
    const char* name = baseName(tasm);
    tarnasm_program* program = NULL;
    CHECK(source != NULL, tasm);
    if (source == NULL || tarnasm_assemble(source, length, name, &program) != TARNASM_OK) {
        CHECK(program != NULL, tasm);
        free(source);
        return;
    }
    CHECK(strcmp(tarnasm_program_name(program), name) == 0, name);
    if (strncmp(name, "ok_", 3) == 0) {
        char* hexFile = withExtension(tasm, ".hex");
        size_t hexLength = 0;
        char* expected = readFile(hexFile, &hexLength);
        size_t count = 0;
        const uint64_t* words = tarnasm_program_words(program, &count);
        char* hex = NULL;
        tarnasm_program* fromFile = NULL;
        size_t fileCount = 0;
        CHECK(tarnasm_program_ok(program) && tarnasm_program_error_count(program) == 0, name);
        CHECK(tarnasm_write_hex(words, count, &hex) == TARNASM_OK, name);
        CHECK(expected != NULL && hex != NULL && strcmp(hex, expected) == 0, name);
        checkRoundTrip(program, name);
        /* The file route reads the same bytes. */
        CHECK(tarnasm_assemble_file(tasm, &fromFile) == TARNASM_OK, name);
        if (fromFile != NULL) {
            const uint64_t* fileWords = tarnasm_program_words(fromFile, &fileCount);
            CHECK(fileCount == count && (count == 0 || memcmp(fileWords, words, count * sizeof *words) == 0), name);
        }
        tarnasm_program_free(fromFile);
        tarnasm_string_free(hex);
        free(expected);
        free(hexFile);
    } else {
        checkFailedCase(program, tasm, name);
    }
    tarnasm_program_free(program);
    free(source);
}

/* Null pointers and indexes past the end fail with a status and a reason, and leave the
 * out-parameters null; nothing is allocated for a failing call. */
static void checkArguments(void)
{
    static const char source[] = ".DEF GAIN 100\nstart:  set_awg_gain $GAIN, $GAIN\n        jmp @start\nend:\n";
    tarnasm_program* program = (tarnasm_program*)&failures;
    tarnasm_diagnostic d;
    tarnasm_label label;
    tarnasm_symbol symbol;
    char* text = (char*)source;

    CHECK(tarnasm_assemble(NULL, 3, "x", &program) == TARNASM_ERROR_ARGUMENT && program == NULL, "null source");
    CHECK(strcmp(tarnasm_last_error(), "source is a null pointer") == 0, tarnasm_last_error());
    CHECK(tarnasm_assemble(source, sizeof source - 1, NULL, NULL) == TARNASM_ERROR_ARGUMENT, "null handle");
    CHECK(strcmp(tarnasm_last_error(), "program is a null pointer") == 0, tarnasm_last_error());
    program = (tarnasm_program*)&failures;
    CHECK(tarnasm_assemble_file(NULL, &program) == TARNASM_ERROR_ARGUMENT && program == NULL, "null path");
    CHECK(tarnasm_write_hex(NULL, 2, &text) == TARNASM_ERROR_ARGUMENT && text == NULL, "null words");
    {
        /* Every out-parameter is cleared, also the ones a failing call never reaches. */
        size_t* unknown = (size_t*)source;
        size_t unknownCount = 7;
        uint64_t* words = (uint64_t*)source;
        size_t count = 7;
        text = (char*)source;
        CHECK(tarnasm_disassemble(NULL, 3, &text, &unknown, &unknownCount) == TARNASM_ERROR_ARGUMENT &&
                  text == NULL && unknown == NULL && unknownCount == 0,
              "disassemble null words");
        CHECK(strcmp(tarnasm_last_error(), "words is a null pointer") == 0, tarnasm_last_error());
        CHECK(tarnasm_read_hex("0", 1, &words, NULL) == TARNASM_ERROR_ARGUMENT && words == NULL, "read null count");
        CHECK(tarnasm_load_hex(NULL, NULL, &count) == TARNASM_ERROR_ARGUMENT && count == 0, "load null words");
    }
    CHECK(strcmp(tarnasm_status_string(TARNASM_ERROR_HEX_FORMAT), "malformed .hex text") == 0 &&
              strcmp(tarnasm_status_string(TARNASM_ERROR_INTERNAL + 1), "unknown status") == 0 &&
              strcmp(tarnasm_status_string(-1), "unknown status") == 0,
          "status strings");

    CHECK(tarnasm_assemble(source, sizeof source - 1, NULL, &program) == TARNASM_OK, "assemble");
    CHECK(strcmp(tarnasm_last_error(), "") == 0, "a success clears the reason");
    CHECK(strcmp(tarnasm_program_name(program), "<input>") == 0, "default name");
    CHECK(tarnasm_program_diagnostic(program, 0, &d) == TARNASM_ERROR_ARGUMENT, "no diagnostic when ok");
    CHECK(tarnasm_program_label_count(program) == 2 && tarnasm_program_symbol_count(program) == 1, "counts");
    CHECK(tarnasm_program_label(program, 1, &label) == TARNASM_OK && strcmp(label.name, "end") == 0 &&
              label.address == 2 && label.line == 4 && label.column == 0,
          "label past the last instruction");
    CHECK(tarnasm_program_label(program, 2, &label) == TARNASM_ERROR_ARGUMENT, "label index past the end");
    CHECK(strcmp(tarnasm_last_error(), "index 2 is out of range (2 labels)") == 0, tarnasm_last_error());
    CHECK(tarnasm_program_symbol(program, 1, &symbol) == TARNASM_ERROR_ARGUMENT &&
              strcmp(tarnasm_last_error(), "index 1 is out of range (1 symbol)") == 0,
          tarnasm_last_error());
    CHECK(tarnasm_program_find_symbol(program, "GAIN", &symbol) == TARNASM_OK && strcmp(symbol.value, "100") == 0 &&
              symbol.line == 1 && symbol.column == 5,
          "find symbol");
    CHECK(tarnasm_program_find_label(program, "Start", &label) == TARNASM_ERROR_NOT_FOUND, "case matters");
    CHECK(tarnasm_program_source_line(program, 1) == 3 && tarnasm_program_source_line(program, 2) == 0, "lines");
    tarnasm_program_free(program);
    tarnasm_program_free(NULL);

    CHECK(strcmp(tarnasm_version(), TARNASM_VERSION_STRING) == 0, "the header's version is the library's");
    {
        char version[32];
        snprintf(version, sizeof version, "%d.%d.%d", TARNASM_VERSION_MAJOR, TARNASM_VERSION_MINOR,
                 TARNASM_VERSION_PATCH);
        CHECK(strcmp(version, TARNASM_VERSION_STRING) == 0, "version macros");
    }
}

static void checkDiagnostics(void)
{
    static const char source[] = "a: nop\na: nop\n  bogus 1\n";
    tarnasm_program* program = NULL;
    tarnasm_diagnostic d;
    size_t count = 1;
    CHECK(tarnasm_assemble(source, sizeof source - 1, "two.tasm", &program) == TARNASM_OK, "assemble");
    tarnasm_program_words(program, &count);
    CHECK(!tarnasm_program_ok(program) && count == 0, "no words when not ok");
    CHECK(tarnasm_program_diagnostic_count(program) >= 1, "diagnostics");
    CHECK(tarnasm_program_diagnostic(program, 0, &d) == TARNASM_OK && strcmp(d.file, "two.tasm") == 0 &&
              d.line == 1 && d.message[0] != '\0' && strcmp(d.source_line, "a: nop") == 0,
          "first diagnostic");
    CHECK(d.kind == TARNASM_DIAGNOSTIC_DUPLICATE_LABEL && strcmp(tarnasm_diagnostic_code(d.kind), "duplicate-label") == 0,
          "kind of a duplicate label");
    CHECK(strcmp(tarnasm_diagnostic_code(-1), "other") == 0, "no such kind");
    tarnasm_program_free(program);

    /* check goes past an undefined label to the encoding errors that assembling hides. */
    {
        static const char twoFaults[] = "  jmp @nowhere\n  play 0, 1, 2\n";
        size_t assembled = 0;
        CHECK(tarnasm_assemble(twoFaults, sizeof twoFaults - 1, NULL, &program) == TARNASM_OK, "assemble");
        assembled = tarnasm_program_diagnostic_count(program);
        tarnasm_program_free(program);
        CHECK(tarnasm_check(twoFaults, sizeof twoFaults - 1, NULL, &program) == TARNASM_OK &&
                  tarnasm_program_diagnostic_count(program) == assembled + 1 &&
                  tarnasm_program_diagnostic(program, assembled, &d) == TARNASM_OK && d.line == 2 &&
                  d.kind == TARNASM_DIAGNOSTIC_OPERAND_OUT_OF_RANGE,
              "check reports every error");
        tarnasm_program_free(program);
        program = (tarnasm_program*)&failures;
        CHECK(tarnasm_check(NULL, 1, NULL, &program) == TARNASM_ERROR_ARGUMENT && program == NULL, "check null source");
    }

    /* An unreadable file is a program with the command line's message, not a failing call. */
    CHECK(tarnasm_assemble_file("no/such/file.tasm", &program) == TARNASM_OK && !tarnasm_program_ok(program) &&
              tarnasm_program_error_count(program) == 1 && strstr(tarnasm_program_report(program), "file.tasm"),
          "missing file");
    tarnasm_program_free(program);
}

static void checkHex(const char* scratch)
{
    static const uint64_t words[] = {0x5a00000003e803e8u, 0x0400000000000000u};
    static const char malformed[] = "5a00000003e803e8\n04000000000000g0\n";
    uint64_t* read = (uint64_t*)words;
    size_t count = 9;
    char path[1024];
    char reason[1200];

    CHECK(tarnasm_read_hex(malformed, sizeof malformed - 1, &read, &count) == TARNASM_ERROR_HEX_FORMAT &&
              read == NULL && count == 0,
          "malformed hex");
    CHECK(strncmp(tarnasm_last_error(), "line 2, column 14: ", 19) == 0, tarnasm_last_error());
    CHECK(tarnasm_read_hex("", 0, &read, &count) == TARNASM_OK && read == NULL && count == 0, "empty hex");

    /* File names are UTF-8 on Windows too: "µs-words.hex". */
    snprintf(path, sizeof path, "%s/\xc2\xb5s-words.hex", scratch);
    CHECK(tarnasm_save_hex(path, words, 2) == TARNASM_OK, path);
    CHECK(tarnasm_load_hex(path, &read, &count) == TARNASM_OK && count == 2 && read[0] == words[0] &&
              read[1] == words[1],
          "saved words load again");
    tarnasm_words_free(read);
    {
        tarnasm_program* program = NULL;
        CHECK(tarnasm_assemble_file(path, &program) == TARNASM_OK && strcmp(tarnasm_program_name(program), path) == 0,
              "a UTF-8 file name comes back as it was given");
        tarnasm_program_free(program);
    }
    snprintf(path, sizeof path, "%s/missing/words.hex", scratch);
    CHECK(tarnasm_save_hex(path, words, 2) == TARNASM_ERROR_FILE, "save into a missing folder");
    snprintf(reason, sizeof reason, "could not save '%s': No such file or directory", path);
    CHECK(strcmp(tarnasm_last_error(), reason) == 0, tarnasm_last_error());
    CHECK(tarnasm_load_hex(path, &read, &count) == TARNASM_ERROR_FILE && read == NULL, "load a missing file");
    snprintf(reason, sizeof reason, "could not load '%s': No such file or directory", path);
    CHECK(strcmp(tarnasm_last_error(), reason) == 0, tarnasm_last_error());
    CHECK(tarnasm_load_hex(scratch, &read, &count) == TARNASM_ERROR_FILE && read == NULL, "load a folder");
    CHECK(strstr(tarnasm_last_error(), "': Is a directory") != NULL, tarnasm_last_error());
}

static void checkDisassembly(void)
{
    /* A stop, a word that is no instruction, and another. */
    static const uint64_t words[] = {0x0400000000000000u, 0xffffffffffffffffu, 0xfe00000000000000u};
    char* text = (char*)words;
    size_t* unknown = NULL;
    size_t unknownCount = 0;
    tarnasm_decoded* decoded = NULL;
    tarnasm_decoded_word word;
    tarnasm_variant_info variant;

    CHECK(tarnasm_disassemble(words, 3, &text, &unknown, &unknownCount) == TARNASM_ERROR_NOT_AN_INSTRUCTION &&
              text == NULL,
          "unknown words fail");
    CHECK(unknownCount == 2 && unknown != NULL && unknown[0] == 1 && unknown[1] == 2, "every unknown word listed");
    tarnasm_addresses_free(unknown);

    CHECK(tarnasm_decode(words[1], &decoded, &word) == TARNASM_OK && word.variant == -1 && word.problem[0] != '\0' &&
              word.text[0] == '\0' && word.operand_count == 0,
          "decode an unknown word");
    tarnasm_decoded_free(decoded);

    CHECK(tarnasm_decode(words[0], &decoded, &word) == TARNASM_OK && word.variant >= 0 && word.problem[0] == '\0',
          "decode a stop");
    CHECK(tarnasm_variant((size_t)word.variant, &variant) == TARNASM_OK && strcmp(variant.mnemonic, word.text) == 0 &&
              variant.opcode == word.opcode && variant.select == word.select,
          "the decoded variant is the instruction set's");
    tarnasm_decoded_free(decoded);
}

/* The last variant's last operand is in range; one past either end is not. */
static void checkInstructionSet(void)
{
    size_t count = tarnasm_variant_count();
    tarnasm_variant_info variant;
    tarnasm_operand_info operand;
    CHECK(count > 20 && tarnasm_variant(count - 1, &variant) == TARNASM_OK && variant.operand_count > 0, "variants");
    CHECK(tarnasm_variant_operand(count - 1, variant.operand_count - 1, &operand) == TARNASM_OK &&
              operand.msb >= operand.lsb && operand.minimum < operand.maximum,
          variant.mnemonic);
    CHECK(tarnasm_variant_operand(count - 1, variant.operand_count, &operand) == TARNASM_ERROR_ARGUMENT, "operand");
    CHECK(tarnasm_variant(count, &variant) == TARNASM_ERROR_ARGUMENT, "variant past the end");
}

/* The system's reason behind a file failure, and none after a success or another failure. */
static void checkSystemError(const char* scratch)
{
    uint64_t* read = NULL;
    size_t count = 0;
    char path[1024];
    snprintf(path, sizeof path, "%s/missing.hex", scratch);
    CHECK(tarnasm_load_hex(path, &read, &count) == TARNASM_ERROR_FILE && tarnasm_last_system_error() == ENOENT,
          "a missing file is ENOENT");
    CHECK(tarnasm_load_hex(scratch, &read, &count) == TARNASM_ERROR_FILE && tarnasm_last_system_error() == EISDIR,
          "a folder is EISDIR");
    CHECK(tarnasm_load_hex(NULL, &read, &count) == TARNASM_ERROR_ARGUMENT && tarnasm_last_system_error() == 0,
          "an argument error has no system error");
    CHECK(tarnasm_load_hex(path, &read, &count) == TARNASM_ERROR_FILE && tarnasm_read_hex("", 0, &read, &count) ==
              TARNASM_OK && tarnasm_last_system_error() == 0,
          "a success clears the system error");
}

int main(int argc, char** argv)
{
    int i;
    if (argc < 3) {
        printf("usage: CInterface_test <scratch dir> <case.tasm>...\n");
        return 2;
    }
    for (i = 2; i < argc; ++i) {
        runCase(argv[i]);
    }
    checkArguments();
    checkDiagnostics();
    checkHex(argv[1]);
    checkDisassembly();
    checkInstructionSet();
    checkSystemError(argv[1]);
    printf("%d corpus cases, %d failures\n", argc - 2, failures);
    return failures == 0 ? 0 : 1;
}
