# Positions beyond the last line answer nothing; a character beyond a line's end stands at its end
# (here in a comment). Edits beyond the end apply at the end.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"here: nop # c\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":5,"character":0}}}
<<< {"id":2,"result":null}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":900}}}
<<< {"id":3,"result":null}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/definition","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":9,"character":9}}}
<<< {"id":4,"result":null}
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/signatureHelp","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":900}}}
<<< {"id":5,"result":null}
>>> {"jsonrpc":"2.0","id":6,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":7,"character":0}}}
<<< {"id":6,"result":{"items":[]}}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/references","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":7,"character":0}}}
<<< {"id":7,"result":[]}
>>> {"jsonrpc":"2.0","id":8,"method":"textDocument/rename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":7,"character":0},"newName":"x"}}
<<< {"id":8,"error":{"code":-32803}}
>>> {"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///p.tasm","version":2},"contentChanges":[{"range":{"start":{"line":0,"character":500},"end":{"line":0,"character":600}},"text":"x"},{"range":{"start":{"line":40,"character":0},"end":{"line":40,"character":0}},"text":"frob"}]}}
<<< {"method":"textDocument/publishDiagnostics","params":{"version":2,"diagnostics":[{"range":{"start":{"line":1,"character":0},"end":{"line":1,"character":4}}}]}}
>>> {"jsonrpc":"2.0","id":9,"method":"shutdown"}
<<< {"id":9,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
