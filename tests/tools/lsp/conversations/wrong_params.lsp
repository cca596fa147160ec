# Missing or wrong-typed parameters answer InvalidParams; bad notifications are dropped.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"here: nop\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/hover"}
<<< {"id":2,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/hover","params":"params"}
<<< {"id":3,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/hover","params":{"textDocument":{"uri":5},"position":{"line":0,"character":0}}}
<<< {"id":4,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":5,"error":{"code":-32602,"message":"missing 'position'"}}
>>> {"jsonrpc":"2.0","id":6,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":"0","character":0}}}
<<< {"id":6,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":-1,"character":0}}}
<<< {"id":7,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0.5,"character":0}}}
<<< {"id":8,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":9,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":1099511627776,"character":0}}}
<<< {"id":9,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":10,"method":"textDocument/rename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":1}}}
<<< {"id":10,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":20,"method":"textDocument/references","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":1},"context":"x"}}
<<< {"id":20,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":21,"method":"textDocument/references","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":1},"context":{"includeDeclaration":"no"}}}
<<< {"id":21,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":11,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///never-opened.tasm"},"position":{"line":0,"character":0}}}
<<< {"id":11,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///p.tasm","version":2}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///p.tasm","version":2},"contentChanges":5}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///q.tasm"}}}
# The document is as it was.
>>> {"jsonrpc":"2.0","id":12,"method":"textDocument/documentSymbol","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":12,"result":[{"name":"here"}]}
>>> {"jsonrpc":"2.0","id":13,"method":"shutdown"}
<<< {"id":13,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
