# Quick fixes for the diagnostics in the range, each with the diagnostic it fixes (by its code);
# malformed ranges answer InvalidParams.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}
<<< {"id":1,"result":{"capabilities":{"codeActionProvider":{"codeActionKinds":["quickfix"]}}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"start: nop\n jmp @strat\n move r5, R1\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[{"code":"undefined-label"},{"code":"unsupported-operands"}]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":1,"character":0},"end":{"line":1,"character":0}},"context":{"diagnostics":[]}}}
<<< {"id":2,"result":[]}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":1,"character":7},"end":{"line":1,"character":7}},"context":{"diagnostics":[]}}}
<<< {"id":3,"result":[{"title":"Change to 'start'","kind":"quickfix","isPreferred":true,"diagnostics":[{"code":"undefined-label"}],"edit":{"changes":{"file:///p.tasm":[{"range":{"start":{"line":1,"character":6},"end":{"line":1,"character":11}},"newText":"start"}]}}}]}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":2,"character":0},"end":{"line":2,"character":12}},"context":{"diagnostics":[]}}}
<<< {"id":4,"result":[{"title":"Write R5 for r5","diagnostics":[{"code":"unsupported-operands"}],"edit":{"changes":{"file:///p.tasm":[{"range":{"start":{"line":2,"character":6},"end":{"line":2,"character":7}},"newText":"R"}]}}}]}
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":5,"error":{"code":-32602,"message":"missing 'range'"}}
>>> {"jsonrpc":"2.0","id":6,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":1,"character":-3},"end":{"line":1,"character":0}}}}
<<< {"id":6,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/codeAction","params":{"textDocument":{"uri":"file:///p.tasm"},"range":"all"}}
<<< {"id":7,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":8,"method":"shutdown"}
<<< {"id":8,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
