# Needs numpy, the optional extra: pip install "tarnasm[numpy]"
import numpy
import tarnasm

TEMPLATE = """\
.DEF GAIN            {gain}
        set_awg_gain $GAIN, $GAIN
        play         0, 1, 20
        acquire      0, {point}, 1000
        stop
"""

uploads = []
for point, gain in enumerate(range(8000, 40001, 8000)):
    source = TEMPLATE.format(gain=gain, point=point)
    try:
        program = tarnasm.assemble(source, name=f"point_{point}.tasm")
    except tarnasm.AssemblyError as error:
        # Each place of the report, with the line of the generated source it points at.
        for place in error.diagnostics:
            print(f"point {point}: line {place.line}: {place.message}")
            print(f"    {place.source_line.strip()}")
        continue
    words = numpy.asarray(program)  # shares the program's memory: numpy.uint64
    uploads.append(words)
    print(f"point {point}: gain {gain}: {len(words)} words, first {words[0]:#018x}")
print(f"{len(uploads)} programs ready")
