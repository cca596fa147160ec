# A message whose header has no Content-Length: its body cannot be told from the next header,
# to which it is glued. The server skips the body and reads the next message at its header.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>>raw Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{"jsonrpc":"2.0","id":2,"method":"shutdown"}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/documentSymbol","params":{"textDocument":{"uri":"file:///none.tasm"}}}
<<< {"id":3,"error":{"code":-32602}}
>>>raw Content-Type: x\r\n\r\n{\n  "pretty": "printed"\n}\r\n
>>> {"jsonrpc":"2.0","id":4,"method":"shutdown"}
<<< {"id":4,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
