// PInvoke_test: the C interface from C# through P/Invoke, as .NET instrument software calls it:
// assemble, the words, the diagnostics, disassemble. Exits 0 when every check holds.
using System;
using System.Runtime.InteropServices;
using System.Text;

static class Tarnasm
{
    const string Library = "tarnasm";

    [StructLayout(LayoutKind.Sequential)]
    public struct Diagnostic
    {
        public IntPtr File;
        public int Line;
        public int Column;
        public int Length;
        public IntPtr Message;
        public IntPtr SourceLine;
        public int Entry;
        public int Kind;
    }

    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern int tarnasm_assemble(byte[] source, UIntPtr length, byte[] name, out IntPtr program);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern void tarnasm_program_free(IntPtr program);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern int tarnasm_program_ok(IntPtr program);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern IntPtr tarnasm_program_words(IntPtr program, out UIntPtr count);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern UIntPtr tarnasm_program_diagnostic_count(IntPtr program);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern int tarnasm_program_diagnostic(IntPtr program, UIntPtr index, out Diagnostic diagnostic);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern int tarnasm_disassemble(ulong[] words, UIntPtr count, out IntPtr text, IntPtr unknown,
                                                 IntPtr unknownCount);
    [DllImport(Library, CallingConvention = CallingConvention.Cdecl)]
    public static extern void tarnasm_string_free(IntPtr text);

    // Strings cross the boundary as UTF-8 bytes ending in NUL.
    public static byte[] Utf8(string text)
    {
        return Encoding.UTF8.GetBytes(text + "\0");
    }

    public static string FromUtf8(IntPtr text)
    {
        int length = 0;
        while (Marshal.ReadByte(text, length) != 0) {
            ++length;
        }
        byte[] bytes = new byte[length];
        Marshal.Copy(text, bytes, 0, length);
        return Encoding.UTF8.GetString(bytes);
    }
}

static class PInvokeTest
{
    static int failures = 0;

    static void Check(bool condition, string what)
    {
        if (!condition) {
            ++failures;
            Console.WriteLine("failed: " + what);
        }
    }

    static IntPtr Assemble(string source, string name)
    {
        byte[] bytes = Encoding.UTF8.GetBytes(source);
        IntPtr program;
        Check(Tarnasm.tarnasm_assemble(bytes, new UIntPtr((uint)bytes.Length), Tarnasm.Utf8(name), out program) == 0,
              "assemble " + name);
        return program;
    }

    static void WordsAndDisassembly()
    {
        IntPtr program = Assemble(".DEF GAIN 8000\n  set_awg_gain $GAIN, $GAIN\n  play 0, 1, 100\n  stop\n", "gain.tasm");
        Check(Tarnasm.tarnasm_program_ok(program) == 1, "ok");
        UIntPtr count;
        IntPtr data = Tarnasm.tarnasm_program_words(program, out count);
        long[] signed = new long[(int)count.ToUInt32()];
        Marshal.Copy(data, signed, 0, signed.Length);
        ulong[] words = Array.ConvertAll(signed, w => unchecked((ulong)w));
        Check(words.Length == 3 && words[0] == 0x5a0000001f401f40UL && words[2] == 0x0400000000000000UL, "words");
        IntPtr text;
        Check(Tarnasm.tarnasm_disassemble(words, count, out text, IntPtr.Zero, IntPtr.Zero) == 0, "disassemble");
        Check(Tarnasm.FromUtf8(text) == "set_awg_gain 8000, 8000\nplay 0, 1, 100\nstop\n", "disassembly text");
        Tarnasm.tarnasm_string_free(text);
        Tarnasm.tarnasm_program_free(program);
    }

    static void Diagnostics()
    {
        IntPtr program = Assemble("  set_awg_gain 40000, 0 # µs\n  stop\n", "µs.tasm");
        Check(Tarnasm.tarnasm_program_ok(program) == 0, "not ok");
        Check(Tarnasm.tarnasm_program_diagnostic_count(program).ToUInt32() == 1, "one diagnostic");
        Tarnasm.Diagnostic d;
        Check(Tarnasm.tarnasm_program_diagnostic(program, new UIntPtr(0), out d) == 0, "the diagnostic");
        Check(Tarnasm.FromUtf8(d.File) == "µs.tasm" && d.Line == 1 && d.Column == 15 && d.Length == 5, "place");
        Check(Tarnasm.FromUtf8(d.Message).Contains("out of range") && d.Kind == 5, "message and kind");
        Check(Tarnasm.FromUtf8(d.SourceLine) == "  set_awg_gain 40000, 0 # µs", "source line");
        Check(Tarnasm.tarnasm_program_diagnostic(program, new UIntPtr(1), out d) == 1, "index past the end");
        Tarnasm.tarnasm_program_free(program);
    }

    static int Main()
    {
        WordsAndDisassembly();
        Diagnostics();
        Console.WriteLine(failures == 0 ? "C# host: all checks hold" : failures + " checks failed");
        return failures == 0 ? 0 : 1;
    }
}
