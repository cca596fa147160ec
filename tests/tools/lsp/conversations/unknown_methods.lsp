# Unknown requests answer MethodNotFound; unknown notifications and $/cancelRequest are ignored.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/frobnicate","params":{}}
<<< {"id":2,"error":{"code":-32601}}
>>> {"jsonrpc":"2.0","id":"three","method":"$/unknown"}
<<< {"id":"three","error":{"code":-32601}}
>>> {"jsonrpc":"2.0","method":"workspace/frobnicate","params":{}}
>>> {"jsonrpc":"2.0","method":"$/cancelRequest","params":{"id":2}}
>>> {"jsonrpc":"2.0","method":"$/setTrace","params":{"value":"off"}}
>>> {"jsonrpc":"2.0","id":4,"method":"shutdown"}
<<< {"id":4,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
