# Two instructions: the .hex must hold two words.
        nop
        stop
