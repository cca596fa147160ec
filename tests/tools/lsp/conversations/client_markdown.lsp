# A client that offers markdown and related information gets both; a related place says what it
# is, and messages end without the report's trailing blank.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{"textDocument":{"hover":{"contentFormat":["plaintext","markdown"]},"completion":{"completionItem":{"documentationFormat":["markdown"]}},"publishDiagnostics":{"relatedInformation":true}}}}}
<<< {"id":1,"result":{"capabilities":{"renameProvider":true}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"start: nop\nstart: nop\n        jmp @start\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":1,"character":0}},"message":"Duplicate address label: start.","relatedInformation":[{"location":{"range":{"start":{"line":0,"character":0}}},"message":"first defined here"}]}]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":2,"character":14}}}
<<< {"id":2,"result":{"contents":{"kind":"markdown","value":"**@start**: address 0 (0x0)\n\ndefined on line 1: `start: nop`"}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///c.tasm","version":1,"text":".D"}}}
<<< {"method":"textDocument/publishDiagnostics"}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///c.tasm"},"position":{"line":0,"character":2}}}
<<< {"id":3,"result":{"items":[{"label":".DEF","documentation":{"kind":"markdown","value":"defines the symbol `$name`"}}]}}
>>> {"jsonrpc":"2.0","id":4,"method":"shutdown"}
<<< {"id":4,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
