# A rename the server refuses answers RequestFailed with the reason, and shows the reason as a
# message too: some clients (Vim's ALE) only say that no result came.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1,"result":{"capabilities":{"renameProvider":true}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"start:  nop\nloop:   jmp @start\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/rename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":1,"character":2},"newName":"start"}}
<<< {"id":2,"error":{"code":-32803,"message":"a label named 'start' is already used"}}
<<< {"method":"window/showMessage","params":{"type":1,"message":"a label named 'start' is already used"}}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/rename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":1,"character":2},"newName":"9lives"}}
<<< {"id":3,"error":{"code":-32803}}
<<< {"method":"window/showMessage","params":{"type":1}}
>>> {"jsonrpc":"2.0","id":4,"method":"shutdown"}
<<< {"id":4,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
