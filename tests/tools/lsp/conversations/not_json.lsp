# Bodies that are not requests get the protocol's error with a null id; the server goes on.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1,"result":{"serverInfo":{"name":"tarnasm-lsp"}}}
>>>raw Content-Length: 24\r\n\r\n{"jsonrpc":"2.0","id":2,
<<< {"id":null,"error":{"code":-32700}}
>>>raw Content-Length: 2\r\n\r\n\xFF\xFE
<<< {"id":null,"error":{"code":-32700}}
>>>raw Content-Length: 2\r\n\r\n[]
<<< {"id":null,"error":{"code":-32600}}
>>>raw Content-Length: 2\r\n\r\n42
<<< {"id":null,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","id":{},"method":"shutdown"}
<<< {"id":null,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","id":3,"method":7}
<<< {"id":3,"error":{"code":-32600}}
>>> {"jsonrpc":"2.0","id":4}
<<< {"id":4,"error":{"code":-32600}}
# A response to a request the server never sent is ignored.
>>> {"jsonrpc":"2.0","id":99,"result":null}
>>> {"jsonrpc":"2.0","id":5,"method":"shutdown"}
<<< {"id":5,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
