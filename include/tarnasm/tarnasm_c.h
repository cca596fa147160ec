/* tarnasm_c.h: the C interface of the tarn assembler, for hosts that load the shared library
 * (libtarnasm.so.1, tarnasm.dll) from C, C#, Python's ctypes, Julia, MATLAB or LabVIEW.
 *
 * Rules that hold for every function here:
 * - Every function that can fail returns a tarnasm_status. It never throws and never ends the
 *   process; on a failure, tarnasm_last_error() says why, and every out-parameter the call was
 *   given is a null pointer or 0 (a struct is zeroed). The one exception: tarnasm_disassemble,
 *   failing with TARNASM_ERROR_NOT_AN_INSTRUCTION, hands out the addresses of the words that are
 *   no instruction in *unknown and *unknown_count.
 * - Memory the library hands out is either owned by a handle (valid until that handle is freed)
 *   or freed by the one free function named beside the call that allocates it. Every free
 *   function accepts a null pointer.
 * - There is nothing to initialise. Any number of threads may call at once; a handle may be read
 *   from several threads at once, and freed once, by one thread, when no other uses it.
 * - Text is UTF-8, also file names on Windows. Strings the library returns end with a NUL byte.
 *
 * How the interface grows, so that a host built against an older header keeps working with a
 * newer library of the same major version:
 * - The structs of 1.0 (tarnasm_diagnostic, tarnasm_label, tarnasm_symbol, tarnasm_decoded_word,
 *   tarnasm_variant_info, tarnasm_operand_info) keep their layout, and no call writes past it.
 * - A function, once released, never changes. What comes later comes as new functions, or as
 *   accessors that take a handle and an index; each says "Since 1.x".
 * - A struct added after 1.0 begins with a size_t member `size` that the host sets to
 *   sizeof(the struct); the library writes no more than that many bytes, so the struct may grow
 *   at its end.
 * - Enumerations get new values, never new meanings for old ones: a host handles values it
 *   does not know (tarnasm_status_string names any status).
 * On Linux the functions of 1.0 carry the symbol version TARNASM_1, later ones TARNASM_1.1 and
 * on, so a host built against a newer header fails to load with an older library, not later.
 */
#ifndef TARNASM_C_H
#define TARNASM_C_H

#include <stddef.h>
#include <stdint.h>

/* TARNASM_VERSION_MAJOR, _MINOR, _PATCH and _STRING: the version of this header, made by the
 * build; tarnasm_version() gives the library's. */
#include <tarnasm/tarnasm_version.h>

#if defined(_WIN32)
#  if defined(TARNASM_C_BUILDING)
#    define TARNASM_C_API __declspec(dllexport)
#  else
#    define TARNASM_C_API __declspec(dllimport)
#  endif
#else
#  define TARNASM_C_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status and errors ---- */

/* What a call returns. Values are stable: hosts may compare with the numbers. */
typedef enum tarnasm_status
{
    TARNASM_OK = 0,
    /* A null pointer where one is not allowed, or an index out of range. */
    TARNASM_ERROR_ARGUMENT = 1,
    /* Memory ran out. */
    TARNASM_ERROR_MEMORY = 2,
    /* A file could not be opened, read or written. */
    TARNASM_ERROR_FILE = 3,
    /* Malformed .hex text. */
    TARNASM_ERROR_HEX_FORMAT = 4,
    /* Words that are no instruction were given to tarnasm_disassemble. */
    TARNASM_ERROR_NOT_AN_INSTRUCTION = 5,
    /* Nothing of that name. */
    TARNASM_ERROR_NOT_FOUND = 6,
    /* A fault inside the library; the message names its place. */
    TARNASM_ERROR_INTERNAL = 7
} tarnasm_status;

/* Why the last failing call on this thread failed; "" after a call that returned TARNASM_OK
 * (calls that return no status leave it as it is). Owned by the library; valid until the next
 * call on the same thread. Malformed .hex text reads "line L, column C: problem" (after the path
 * for a file). */
TARNASM_C_API const char* tarnasm_last_error(void);

/* The status's meaning in a few words, such as "invalid argument", for any int; "unknown status"
 * for a value that is no status. Static storage. Since 1.1. */
TARNASM_C_API const char* tarnasm_status_string(int status);

/* The library's version, "major.minor.patch"; static storage. */
TARNASM_C_API const char* tarnasm_version(void);

/* Frees a string the library allocated (tarnasm_disassemble, tarnasm_write_hex). */
TARNASM_C_API void tarnasm_string_free(char* text);

/* ---- Assembling ---- */

/* The result of assembling one source: the words, or the report of every error. */
typedef struct tarnasm_program tarnasm_program;

/* What an error is about; stable values, the same for every place of one report entry. */
typedef enum tarnasm_diagnostic_kind
{
    TARNASM_DIAGNOSTIC_OTHER = 0,                    /* none of the kinds below */
    TARNASM_DIAGNOSTIC_UNREADABLE_SOURCE = 1,        /* the source could not be read (missing file, a line over the limit) */
    TARNASM_DIAGNOSTIC_SPURIOUS_CHARACTERS = 2,      /* text the statement does not take, or bytes the language does not allow */
    TARNASM_DIAGNOSTIC_UNKNOWN_MNEMONIC = 3,         /* no instruction of that name */
    TARNASM_DIAGNOSTIC_UNSUPPORTED_OPERANDS = 4,     /* the mnemonic has no variant for these operand kinds */
    TARNASM_DIAGNOSTIC_OPERAND_OUT_OF_RANGE = 5,     /* an operand's value does not fit its field */
    TARNASM_DIAGNOSTIC_INVALID_OPERAND = 6,          /* an operand that is neither register, number nor reference */
    TARNASM_DIAGNOSTIC_INVALID_NUMBER = 7,           /* a number (or register number) that cannot be read */
    TARNASM_DIAGNOSTIC_INVALID_SYMBOL_NAME = 8,      /* '$' followed by no valid name */
    TARNASM_DIAGNOSTIC_INVALID_LABEL_REFERENCE = 9,  /* '@' followed by no valid name */
    TARNASM_DIAGNOSTIC_UNDEFINED_LABEL = 10,         /* @name of a label that is never defined */
    TARNASM_DIAGNOSTIC_UNDEFINED_SYMBOL = 11,        /* $name of a symbol that is never defined */
    TARNASM_DIAGNOSTIC_DUPLICATE_LABEL = 12,         /* a label defined twice */
    TARNASM_DIAGNOSTIC_DUPLICATE_SYMBOL = 13,        /* a symbol defined twice */
    TARNASM_DIAGNOSTIC_DIRECTIVE_WITHOUT_NAME = 14,  /* ".DEF" and nothing after it */
    TARNASM_DIAGNOSTIC_DIRECTIVE_WITHOUT_VALUE = 15, /* ".DEF name" without a value */
    TARNASM_DIAGNOSTIC_UNKNOWN_DIRECTIVE = 16,       /* a directive word the assembler does not support */
    TARNASM_DIAGNOSTIC_PROGRAM_TOO_LONG = 17,        /* more instructions than the instruction memory holds */
} tarnasm_diagnostic_kind;

/* One place in the error report. An error about several places (a label defined twice) gives
 * one diagnostic per place, in the report's order, all with the same entry and message. The
 * strings are owned by the program. */
typedef struct tarnasm_diagnostic
{
    /* The source name as the report shows it; the program's name for an error without a place. */
    const char* file;
    /* 1-based line; 0 for an error without a place (a file that cannot be read). */
    int line;
    /* Byte index of the first marked byte, from 0; -1 when the entry marks no range. */
    int column;
    /* Length of the marked range in bytes; 0 when column is -1. */
    int length;
    /* The message without location and picture. */
    const char* message;
    /* The source line the place points into ("" without a place). */
    const char* source_line;
    /* Index of the report entry (the error) this place belongs to, from 0. */
    int entry;
    /* What the error is about: a tarnasm_diagnostic_kind value, held as an int. */
    int kind;
} tarnasm_diagnostic;

/* The kind's stable name for protocols and scripts, such as "unknown-mnemonic"; "other" for a
 * value that is no kind. Static storage. */
TARNASM_C_API const char* tarnasm_diagnostic_code(int kind);

/* A label as defined in the source; name owned by the program. */
typedef struct tarnasm_label
{
    const char* name;
    /* The instruction address it names; with errors, counting only the instructions that parsed. */
    uint32_t address;
    /* Where the name is written: 1-based line, 0-based byte column. */
    int line;
    int column;
} tarnasm_label;

/* A symbol defined by ".DEF name value"; strings owned by the program. */
typedef struct tarnasm_symbol
{
    const char* name;
    /* The value text as written, without surrounding blanks. */
    const char* value;
    int line;
    int column;
} tarnasm_symbol;

/* Assembles length bytes of tarn assembly text (any bytes; source may be null when length is 0).
 * name is the source name the report shows; null means "<input>". Errors in the source are not a
 * failure: the call returns TARNASM_OK and a program whose tarnasm_program_ok is 0.
 * On TARNASM_OK, *program is a new handle to free with tarnasm_program_free.
 * Fails with TARNASM_ERROR_ARGUMENT (program null), _MEMORY or _INTERNAL, and *program is null. */
TARNASM_C_API tarnasm_status tarnasm_assemble(const char* source, size_t length, const char* name,
                                              tarnasm_program** program);

/* Assembles like tarnasm_assemble, for editors that show every error at once: where assembling
 * stops after a failed address assignment (an undefined label, a label defined twice), this goes
 * on and also reports the encoding errors of every instruction that uses no unresolved label.
 * Without errors it gives exactly what tarnasm_assemble gives. Ownership and failures as
 * tarnasm_assemble. Since 1.1. */
TARNASM_C_API tarnasm_status tarnasm_check(const char* source, size_t length, const char* name,
                                           tarnasm_program** program);

/* Reads and assembles a file; the report names it by path. A file that cannot be read is not a
 * failure either: it gives a program that is not ok, with the command line's message for it.
 * Ownership and failures as tarnasm_assemble (path null: TARNASM_ERROR_ARGUMENT). */
TARNASM_C_API tarnasm_status tarnasm_assemble_file(const char* path, tarnasm_program** program);

/* Frees the program and everything it owns: words, report, diagnostics, labels, symbols. */
TARNASM_C_API void tarnasm_program_free(tarnasm_program* program);

/* The accessors below take a program that is not null; they never fail. */

/* 1 when the source assembled without errors, else 0. */
TARNASM_C_API int tarnasm_program_ok(const tarnasm_program* program);
/* The number of errors in the report (the command line's exit status before it is capped at
 * 255); 0 when ok. */
TARNASM_C_API size_t tarnasm_program_error_count(const tarnasm_program* program);
/* 1 when the source could not be read to its end; the report is then one line. */
TARNASM_C_API int tarnasm_program_aborted(const tarnasm_program* program);
/* The words, exactly what the command line's .hex file holds; *count words (0 when not ok, and
 * the pointer may then be null). Owned by the program. */
TARNASM_C_API const uint64_t* tarnasm_program_words(const tarnasm_program* program, size_t* count);
/* The full report as the command line logs it, without the log line's prefix. Owned by the
 * program. */
TARNASM_C_API const char* tarnasm_program_report(const tarnasm_program* program);
/* The source name given to tarnasm_assemble, or the path given to tarnasm_assemble_file. */
TARNASM_C_API const char* tarnasm_program_name(const tarnasm_program* program);
/* The 1-based source line of the instruction at this address; 0 for an address without one. */
TARNASM_C_API int tarnasm_program_source_line(const tarnasm_program* program, uint32_t address);

/* The number of diagnostics, labels and symbols (first definitions, in source order). */
TARNASM_C_API size_t tarnasm_program_diagnostic_count(const tarnasm_program* program);
TARNASM_C_API size_t tarnasm_program_label_count(const tarnasm_program* program);
TARNASM_C_API size_t tarnasm_program_symbol_count(const tarnasm_program* program);

/* Fill *out with the item at index, its strings owned by the program. Fail with
 * TARNASM_ERROR_ARGUMENT for a null argument or an index at or past the count. */
TARNASM_C_API tarnasm_status tarnasm_program_diagnostic(const tarnasm_program* program, size_t index,
                                                        tarnasm_diagnostic* out);
TARNASM_C_API tarnasm_status tarnasm_program_label(const tarnasm_program* program, size_t index,
                                                   tarnasm_label* out);
TARNASM_C_API tarnasm_status tarnasm_program_symbol(const tarnasm_program* program, size_t index,
                                                    tarnasm_symbol* out);

/* Fill *out with the label or symbol of that name (case matters). Fail with
 * TARNASM_ERROR_NOT_FOUND when there is none, TARNASM_ERROR_ARGUMENT for a null argument. */
TARNASM_C_API tarnasm_status tarnasm_program_find_label(const tarnasm_program* program, const char* name,
                                                        tarnasm_label* out);
TARNASM_C_API tarnasm_status tarnasm_program_find_symbol(const tarnasm_program* program, const char* name,
                                                         tarnasm_symbol* out);

/* ---- Disassembling ---- */

/* Assembly text for count words, one instruction a line, that assembles back into exactly the
 * same words. On TARNASM_OK, *text is a new string to free with tarnasm_string_free.
 * Words that are no instruction fail the call with TARNASM_ERROR_NOT_AN_INSTRUCTION; when
 * unknown is not null, *unknown is then a new array of the addresses (indexes) of every such word,
 * *unknown_count long, to free with tarnasm_addresses_free (tarnasm_decode says why of each).
 * Also fails with TARNASM_ERROR_ARGUMENT (text null, or words null with count above 0), _MEMORY
 * or _INTERNAL. */
TARNASM_C_API tarnasm_status tarnasm_disassemble(const uint64_t* words, size_t count, char** text,
                                                 size_t** unknown, size_t* unknown_count);

/* Frees an array of addresses from tarnasm_disassemble. */
TARNASM_C_API void tarnasm_addresses_free(size_t* addresses);

/* One instruction word taken apart; strings and operands owned by the tarnasm_decoded handle. */
typedef struct tarnasm_decoded_word
{
    uint64_t word;
    uint32_t opcode;
    uint32_t select;
    /* The index of the variant (for tarnasm_variant) that opcode and select name; -1 for none. */
    int variant;
    /* The operand values as assembly text writes them; none without a variant. */
    const int64_t* operands;
    size_t operand_count;
    /* "" when assembling text gives this word again; otherwise why not. */
    const char* problem;
    /* "mnemonic op, op, ..."; "" when problem is not "". */
    const char* text;
} tarnasm_decoded_word;

typedef struct tarnasm_decoded tarnasm_decoded;

/* Takes one word apart. On TARNASM_OK, *decoded is a new handle to free with
 * tarnasm_decoded_free, and *out (when not null) refers into it. Fails with
 * TARNASM_ERROR_ARGUMENT (decoded null), _MEMORY or _INTERNAL. */
TARNASM_C_API tarnasm_status tarnasm_decode(uint64_t word, tarnasm_decoded** decoded, tarnasm_decoded_word* out);

TARNASM_C_API void tarnasm_decoded_free(tarnasm_decoded* decoded);

/* ---- The .hex format ---- */

/* Reads .hex text of length bytes: one word a line, 16 hexadecimal digits each. On TARNASM_OK,
 * *words is a new array of *count words to free with tarnasm_words_free (null when *count is 0).
 * Malformed text fails with TARNASM_ERROR_HEX_FORMAT, naming line and column. */
TARNASM_C_API tarnasm_status tarnasm_read_hex(const char* text, size_t length, uint64_t** words, size_t* count);

/* The .hex text of count words (each as 16 lower-case digits and a line feed). On TARNASM_OK,
 * *text is a new string to free with tarnasm_string_free. */
TARNASM_C_API tarnasm_status tarnasm_write_hex(const uint64_t* words, size_t count, char** text);

/* Reads a .hex file; as tarnasm_read_hex, and TARNASM_ERROR_FILE when it cannot be read or is
 * not a regular file, with the reason "could not load '<path>': <system's reason>". */
TARNASM_C_API tarnasm_status tarnasm_load_hex(const char* path, uint64_t** words, size_t* count);

/* Writes a .hex file the way the command line does: a failure (TARNASM_ERROR_FILE, reason
 * "could not save '<path>': <system's reason>") leaves an existing file as it was. */
TARNASM_C_API tarnasm_status tarnasm_save_hex(const char* path, const uint64_t* words, size_t count);

/* Frees an array of words from tarnasm_read_hex or tarnasm_load_hex. */
TARNASM_C_API void tarnasm_words_free(uint64_t* words);

/* ---- The instruction set ---- */

/* One variant of a mnemonic; strings in static storage. */
typedef struct tarnasm_variant_info
{
    const char* mnemonic;
    uint32_t opcode;
    uint32_t select;
    /* The operand forms: "R#" a register, "#" an immediate, joined by ","; "" for none. */
    const char* signature;
    size_t operand_count;
} tarnasm_variant_info;

/* One operand of a variant; the name in static storage. */
typedef struct tarnasm_operand_info
{
    /* The operand kind's name as error messages quote it ("alu_src_imm"). */
    const char* name;
    /* 1 for a register (R0 to R63), 0 for an immediate. */
    int is_register;
    /* 1 for an immediate that holds an instruction address (may be written @label). */
    int is_address;
    /* The bits of the word that hold it, msb down to lsb. */
    int msb;
    int lsb;
    /* The values it accepts; a negative minimum means two's complement. */
    int64_t minimum;
    int64_t maximum;
} tarnasm_operand_info;

/* The number of variants of the built-in instruction set, ordered by opcode and then select. */
TARNASM_C_API size_t tarnasm_variant_count(void);

/* Fill *out with the variant at index, or with its operand at operand. Fail with
 * TARNASM_ERROR_ARGUMENT for a null out or an index out of range. */
TARNASM_C_API tarnasm_status tarnasm_variant(size_t index, tarnasm_variant_info* out);
TARNASM_C_API tarnasm_status tarnasm_variant_operand(size_t index, size_t operand, tarnasm_operand_info* out);

/* ---- Added in 1.1 for hosts that map errors to their own (symbol version TARNASM_1.1) ---- */

/* The operating system's error number (an errno value such as ENOENT or EISDIR) behind the last
 * failing call on this thread, when it failed with TARNASM_ERROR_FILE because a system call did;
 * 0 after a success and after any other failure. Lets a host raise its own error for that cause
 * (Python's FileNotFoundError) beside tarnasm_last_error's text. Since 1.1. */
TARNASM_C_API int tarnasm_last_system_error(void);

#ifdef __cplusplus
}
#endif

#endif /* TARNASM_C_H */
