# Highlight, declaration, prepareRename, workspace symbols, folding, selection ranges, inlay hints
# and formatting on one document; each refuses malformed parameters with InvalidParams.
>>> {"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{"textDocument":{"rename":{"prepareSupport":true}}}}}
<<< {"id":1,"result":{"capabilities":{"renameProvider":{"prepareProvider":true},"declarationProvider":true,"documentHighlightProvider":true,"workspaceSymbolProvider":true,"documentFormattingProvider":true,"documentRangeFormattingProvider":true,"foldingRangeProvider":true,"selectionRangeProvider":true,"inlayHintProvider":true}}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///p.tasm","version":1,"text":"# block one\n# block two\nstart:  nop\n        jmp @start\n.DEF N 4\n        wait $N\nnext:   wait    8\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
>>> {"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///q.tasm","version":1,"text":"stop_here: stop\n"}}}
<<< {"method":"textDocument/publishDiagnostics","params":{"diagnostics":[]}}
>>> {"jsonrpc":"2.0","id":2,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":3,"character":14}}}
<<< {"id":2,"result":[{"range":{"start":{"line":2,"character":0},"end":{"line":2,"character":5}},"kind":3},{"range":{"start":{"line":3,"character":13},"end":{"line":3,"character":18}},"kind":2}]}
>>> {"jsonrpc":"2.0","id":3,"method":"textDocument/declaration","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":3,"character":14}}}
<<< {"id":3,"result":{"uri":"file:///p.tasm","range":{"start":{"line":2,"character":0},"end":{"line":2,"character":5}}}}
>>> {"jsonrpc":"2.0","id":4,"method":"textDocument/prepareRename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":5,"character":14}}}
<<< {"id":4,"result":{"start":{"line":5,"character":14},"end":{"line":5,"character":15}}}
# A comment, a mnemonic and a number are no names.
>>> {"jsonrpc":"2.0","id":5,"method":"textDocument/prepareRename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":0,"character":3}}}
<<< {"id":5,"result":null}
>>> {"jsonrpc":"2.0","id":6,"method":"textDocument/prepareRename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":6,"character":9}}}
<<< {"id":6,"result":null}
>>> {"jsonrpc":"2.0","id":7,"method":"textDocument/prepareRename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":6,"character":16}}}
<<< {"id":7,"result":null}
# Over both documents; "st" finds start and stop_here, not next.
>>> {"jsonrpc":"2.0","id":8,"method":"workspace/symbol","params":{"query":"ST"}}
<<< {"id":8,"result":[{"name":"start","kind":12,"location":{"uri":"file:///p.tasm","range":{"start":{"line":2,"character":0}}}},{"name":"stop_here","location":{"uri":"file:///q.tasm"}}]}
>>> {"jsonrpc":"2.0","id":9,"method":"workspace/symbol","params":{"query":""}}
<<< {"id":9,"result":[{"name":"start"},{"name":"N","kind":14},{"name":"next"},{"name":"stop_here"}]}
>>> {"jsonrpc":"2.0","id":10,"method":"textDocument/foldingRange","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":10,"result":[{"startLine":0,"endLine":1,"kind":"comment"},{"startLine":2,"endLine":5,"kind":"region"}]}
>>> {"jsonrpc":"2.0","id":11,"method":"textDocument/selectionRange","params":{"textDocument":{"uri":"file:///p.tasm"},"positions":[{"line":3,"character":14},{"line":40,"character":0}]}}
<<< {"id":11,"result":[{"range":{"start":{"line":3,"character":13},"end":{"line":3,"character":18}},"parent":{"range":{"start":{"line":3,"character":12}},"parent":{"range":{"start":{"line":3,"character":8}},"parent":{"range":{"start":{"line":3,"character":0},"end":{"line":3,"character":18}},"parent":{"range":{"start":{"line":0,"character":0},"end":{"line":7,"character":0}}}}}}},{"range":{"start":{"line":0,"character":0},"end":{"line":7,"character":0}}}]}
>>> {"jsonrpc":"2.0","id":12,"method":"textDocument/inlayHint","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":0,"character":0},"end":{"line":7,"character":0}}}}
<<< {"id":12,"result":[{"position":{"line":3,"character":18},"label":"= 0"},{"position":{"line":5,"character":15},"label":"= 4"}]}
# The changed lines 3 to 6 in one edit; line 2 is formatted already.
>>> {"jsonrpc":"2.0","id":13,"method":"textDocument/formatting","params":{"textDocument":{"uri":"file:///p.tasm"},"options":{"tabSize":4,"insertSpaces":true}}}
<<< {"id":13,"result":[{"range":{"start":{"line":3,"character":0},"end":{"line":6,"character":17}},"newText":"        jmp          @start\n.DEF N               4\n        wait         $N\nnext:   wait         8"}]}
>>> {"jsonrpc":"2.0","id":14,"method":"textDocument/rangeFormatting","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":5,"character":0},"end":{"line":6,"character":0}},"options":{}}}
<<< {"id":14,"result":[{"range":{"start":{"line":5,"character":0},"end":{"line":5,"character":15}},"newText":"        wait         $N"}]}
# Malformed parameters.
>>> {"jsonrpc":"2.0","id":20,"method":"textDocument/documentHighlight","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":20,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":21,"method":"textDocument/declaration","params":{"textDocument":{"uri":7},"position":{"line":0,"character":0}}}
<<< {"id":21,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":22,"method":"textDocument/prepareRename","params":{"textDocument":{"uri":"file:///p.tasm"},"position":{"line":-1,"character":0}}}
<<< {"id":22,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":23,"method":"workspace/symbol","params":{"query":5}}
<<< {"id":23,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":24,"method":"textDocument/foldingRange","params":{"textDocument":"file:///p.tasm"}}
<<< {"id":24,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":25,"method":"textDocument/selectionRange","params":{"textDocument":{"uri":"file:///p.tasm"},"positions":{"line":0,"character":0}}}
<<< {"id":25,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":26,"method":"textDocument/selectionRange","params":{"textDocument":{"uri":"file:///p.tasm"},"positions":[{"line":"0","character":0}]}}
<<< {"id":26,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":27,"method":"textDocument/inlayHint","params":{"textDocument":{"uri":"file:///p.tasm"}}}
<<< {"id":27,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":28,"method":"textDocument/inlayHint","params":{"textDocument":{"uri":"file:///p.tasm"},"range":{"start":{"line":0,"character":0},"end":{"line":"7","character":0}}}}
<<< {"id":28,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":29,"method":"textDocument/formatting","params":{"textDocument":{"uri":"file:///p.tasm"},"options":"tabs"}}
<<< {"id":29,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":30,"method":"textDocument/rangeFormatting","params":{"textDocument":{"uri":"file:///p.tasm"},"options":{}}}
<<< {"id":30,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":31,"method":"textDocument/formatting","params":{"textDocument":{"uri":"file:///never.tasm"},"options":{}}}
<<< {"id":31,"error":{"code":-32602}}
>>> {"jsonrpc":"2.0","id":32,"method":"shutdown"}
<<< {"id":32,"result":null}
>>> {"jsonrpc":"2.0","method":"exit"}
status 0
