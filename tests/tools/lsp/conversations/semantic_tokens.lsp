# Semantic tokens, full and by range, with the legend in the capabilities; malformed ranges and
# documents answer InvalidParams.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1,"result":{"capabilities":{"semanticTokensProvider":{"legend":{"tokenTypes":["keyword","function","macro","variable","number","comment"],"tokenModifiers":["declaration"]},"full":true,"range":true}}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"start: jmp @start # x\n.DEF N R5\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
# Per token: line and start relative to the one before, length, type, modifiers.
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/semanticTokens/full","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":2,"result":{"data":[0,0,5,1,1, 0,7,3,0,0, 0,4,6,1,0, 0,7,3,5,0, 1,0,4,0,0, 0,5,1,2,1, 0,2,2,3,0]}}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/semanticTokens/range","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":1,"character":0},"end":{"line":1,"character":3}}}}
<<< {"id":3,"result":{"data":[1,0,4,0,0, 0,5,1,2,1, 0,2,2,3,0]}}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/semanticTokens/range","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":4,"error":{"code":-32602,"message":"missing 'range'"}}
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/semanticTokens/range","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":"1","character":0},"end":{"line":1,"character":3}}}}
<<< {"id":5,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":6,"method":"textDocument/semanticTokens/full","params":{"textDocument":{"uri":7}}}
<<< {"id":6,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/semanticTokens/full","params":[]}
<<< {"id":7,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":8,"method":"textDocument/semanticTokens/full","params":{"textDocument":{"uri":"file:///never-opened.tasm"}}}
<<< {"id":8,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":9,"method":"shutdown"}
<<< {"id":9,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
