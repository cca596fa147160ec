-- The manual's Neovim configuration (editors/neovim/tarn.lua), run in a headless Neovim against the
-- real tarnasm-lsp: the errors arrive as diagnostics, and hover, definition and completion answer.
local function fail(message)
  io.stderr:write('FAILED: ' .. message .. '\n')
  vim.cmd('cquit 1')
end

local ok, err = pcall(dofile, os.getenv('TARNASM_NEOVIM_CONFIG'))
if not ok then
  fail('the Neovim configuration: ' .. tostring(err))
end

local file = os.getenv('TARNASM_SCRATCH') .. '/neovim.tasm'
vim.fn.mkdir(os.getenv('TARNASM_SCRATCH'), 'p')
vim.fn.writefile({ 'start:  nop', '        jmp     @start', '        frob    1' }, file)
vim.cmd('edit ' .. file)
if vim.bo.filetype ~= 'tarn' then
  fail('filetype is ' .. vim.bo.filetype)
end

if not vim.wait(20000, function() return #vim.diagnostic.get(0) > 0 end, 50) then
  fail('no diagnostics')
end
local diagnostic = vim.diagnostic.get(0)[1]
if diagnostic.lnum ~= 2 or diagnostic.col ~= 8 or not diagnostic.message:find("instruction 'frob' not found") then
  fail('diagnostic: ' .. vim.inspect(diagnostic))
end

local function request(method, line, character)
  local params = { textDocument = { uri = vim.uri_from_bufnr(0) }, position = { line = line, character = character } }
  local replies = vim.lsp.buf_request_sync(0, method, params, 20000) or {}
  for _, reply in pairs(replies) do
    if reply.result then
      return reply.result
    end
  end
  fail('no result for ' .. method)
end

local hover = request('textDocument/hover', 1, 18)
if not hover.contents.value:find('address 0', 1, true) then
  fail('hover: ' .. vim.inspect(hover))
end
local definition = request('textDocument/definition', 1, 18)
if definition.range.start.line ~= 0 or definition.range.start.character ~= 0 then
  fail('definition: ' .. vim.inspect(definition))
end
local completion = request('textDocument/completion', 2, 8)
if #completion.items < 40 then
  fail('completion: ' .. #completion.items .. ' items')
end

-- Neovim applies the rename's edits to the buffer.
vim.api.nvim_win_set_cursor(0, { 1, 1 })
vim.lsp.buf.rename('begin')
if not vim.wait(20000, function() return vim.fn.getline(2):find('@begin', 1, true) ~= nil end, 50) then
  fail('rename: ' .. vim.inspect(vim.api.nvim_buf_get_lines(0, 0, -1, false)))
end
if vim.fn.getline(1) ~= 'begin:  nop' then
  fail('rename of the definition: ' .. vim.fn.getline(1))
end

-- The fix empties the list.
vim.api.nvim_buf_set_lines(0, 2, 3, false, { '        nop' })
if not vim.wait(20000, function() return #vim.diagnostic.get(0) == 0 end, 50) then
  fail('the diagnostics stay after the fix')
end
vim.cmd('qall!')
