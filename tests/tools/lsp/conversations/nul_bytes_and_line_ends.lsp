# NUL bytes inside a line and starting one (the text after them is read too); CR, CR LF and LF CR
# line ends: the error stands on the protocol's line 4 in each.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///nul.tasm","version":1,"text":"nop\n  wa\u0000it 5\n\u0000\u0000\n  nop\u0000\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":1,"character":4},"end":{"line":1,"character":7}}},{"range":{"start":{"line":2,"character":0},"end":{"line":2,"character":2}}},{"range":{"start":{"line":3,"character":5},"end":{"line":3,"character":6}}}]}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///cr.tasm","version":1,"text":"nop\rnop\rnop\r\r  frob\r"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":4,"character":2},"end":{"line":4,"character":6}}}]}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///crlf.tasm","version":1,"text":"nop\r\nnop\r\nnop\r\n\r\n  frob\r\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":4,"character":2},"end":{"line":4,"character":6}}}]}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///lfcr.tasm","version":1,"text":"nop\nnop\nnop\n\r  frob\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"range":{"start":{"line":4,"character":2},"end":{"line":4,"character":6}}}]}}
>>> {"jsonrpc":"2.0","id":2,"method":"shutdown"}
<<< {"id":2,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
