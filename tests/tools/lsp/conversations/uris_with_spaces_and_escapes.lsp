# A URI with spaces and percent escapes: diagnostics name it as opened; the same document escaped
# otherwise by the client is found.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///tmp/a%20b/c%25d%C3%A9.tasm","version":1,"text":"  frob\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"uri":"file:///tmp/a%20b/c%25d%C3%A9.tasm"}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///tmp/a b/c%25dé.tasm"},"position":{"line":0,"character":3}}}
<<< {"id":2,"result":{"range":{"start":{"line":0,"character":2}}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didClose","params":{"textDocument":{"uri":"file:///tmp/a%20b/c%25d%c3%a9.tasm"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"uri":"file:///tmp/a%20b/c%25d%C3%A9.tasm","diagnostics":[]}}
>>> {"jsonrpc":"2.0","id":3,"method":"shutdown"}
<<< {"id":3,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
