# Headers without a usable Content-Length are skipped up to their blank line; the next message is
# read as usual.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1}
>>>raw Content-Type: text/plain\r\n\r\n
>>>raw Content-Length: twelve\r\n\r\n
>>>raw Content-Length: -1\r\n\r\n
>>>raw Content-Length: 99999999999999999999999\r\n\r\n
>>>raw no colon in this header line\r\n\r\n
>>>raw \r\n\r\nContent-Length: 44\r\n\r\n{"jsonrpc":"2.0","id":2,"method":"shutdown"}
<<< {"id":2,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
