# exit without shutdown ends the server with status 1.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>> {"jsonrpc":"2.0","method":"exit"}
status 1
