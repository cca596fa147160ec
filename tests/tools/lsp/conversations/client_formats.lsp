# A client that declares nothing gets plain text and the other places of an error in its message;
# rename without prepareRename's options object; shutdown sent as a notification still ends well.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{"textDocument":{"hover":{"contentFormat":["plaintext"]},"publishDiagnostics":{"relatedInformation":"yes"},"rename":{"prepareSupport":false}}}}}
<<< {"id":1,"result":{"capabilities":{"renameProvider":true}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"start: nop\nstart: nop\n        jmp @start\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":1,"character":0}},"message":"Duplicate address label: start. (also line 1)"}]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":2,"character":14}}}
<<< {"id":2,"result":{"contents":{"kind":"plaintext","value":"@start: address 0 (0x0)\n\ndefined on line 1: start: nop"}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///c.tasm","version":1,"text":".D"}}}
<<< {"method":"textDocument/publishDiagnostics"}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///c.tasm"},"position":{"line":0,"character":2}}}
<<< {"id":3,"result":{"items":[{"label":".DEF","documentation":{"kind":"plaintext","value":"defines the symbol $name"}}]}}
>>> {"jsonrpc":"2.0","method":"shutdown"}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":2,"character":14}}}
<<< {"id":4,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
