# Requests before initialize answer ServerNotInitialized and notifications are dropped; a second
# initialize and requests after shutdown are invalid; exit after shutdown gives status 0.
>>> {"jsonrpc":"2.0","id":1,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":0}}}
<<< {"id":1,"error":{"code":-32002}}
>>> {"jsonrpc":"2.0","id":2,"method":"shutdown"}
<<< {"id":2,"error":{"code":-32002}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"x"}}}
>>> {"jsonrpc":"2.0","id":3,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":3,"result":{"capabilities":{"hoverProvider":true}}}
>>> {"jsonrpc":"2.0","id":4,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":4,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":0}}}
<<< {"id":5,"error":{"code":-32602,"message":"the document is not open: file:///p.tasm"}}
>>> {"jsonrpc":"2.0","id":6,"method":"shutdown"}
<<< {"id":6,"result":null}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/documentSymbol","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":7,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","id":8,"method":"shutdown"}
<<< {"id":8,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
