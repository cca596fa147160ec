"""Threads: assembling in parallel gives what sequential calls give, and does not hold the GIL."""

import threading
from concurrent.futures import ThreadPoolExecutor

import tarnasm


def outcome(source):
    try:
        return tarnasm.assemble(source).words
    except tarnasm.AssemblyError as error:
        return str(error)


def test_threads_get_the_results_of_sequential_calls(example_source):
    sources = [example_source.replace(".DEF STEPS           64", ".DEF STEPS %d" % n) for n in range(1, 17)]
    sources += ["\tmove %d, R%d\n" % (n, 60 + n) for n in range(8)]  # registers past R63 fail
    expected = [outcome(source) for source in sources]
    assert len({str(e) for e in expected}) == len(sources)
    with ThreadPoolExecutor(max_workers=8) as pool:
        assert list(pool.map(outcome, sources * 8)) == expected * 8


def test_assembling_releases_the_gil():
    source = "# a comment line of the kind that costs the assembler little\n" * 1_000_000
    started = threading.Event()

    def work():
        started.set()
        tarnasm.assemble(source)

    thread = threading.Thread(target=work)
    thread.start()
    started.wait()
    ticks = 0
    while thread.is_alive():
        ticks += 1
    thread.join()
    # Holding the GIL, the call would leave this loop only the turns between switch intervals.
    assert ticks > 10_000
