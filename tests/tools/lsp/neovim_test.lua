-- The manual's Neovim configuration (editors/neovim/tarn.lua installed as init.lua), run in a headless
-- Neovim against the real tarnasm-lsp: the errors arrive as diagnostics, K shows the hover, gd jumps,
-- completion answers, rename and :TarnFormat edit the buffer. With TARNASM_PART=fixes it checks
-- instead that a completion of @st inserts exactly @start and that the quick fix mends the
-- misspelt mnemonic.
local function fail(message)
  io.stderr:write('FAILED: ' .. message .. '\n')
  vim.cmd('cquit 1')
end

if vim.v.errmsg ~= '' then
  fail('starting Neovim: ' .. vim.v.errmsg)
end

local file = os.getenv('TARNASM_SCRATCH') .. '/neovim.tasm'
vim.fn.mkdir(os.getenv('TARNASM_SCRATCH'), 'p')
vim.fn.writefile({ 'start:  nop', '        jmp     @start', '        reset_phz' }, file)
vim.cmd('edit ' .. file)
if vim.bo.filetype ~= 'tarn' then
  fail('filetype is ' .. vim.bo.filetype)
end

if not vim.wait(20000, function() return #vim.diagnostic.get(0) > 0 end, 50) then
  fail('no diagnostics')
end
local diagnostic = vim.diagnostic.get(0)[1]
if diagnostic.lnum ~= 2 or diagnostic.col ~= 8 or not diagnostic.message:find("instruction 'reset_phz' not found") then
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

if os.getenv('TARNASM_PART') == 'fixes' then
  vim.api.nvim_buf_set_lines(0, 1, 2, false, { '        jmp     @st' })
  local items = request('textDocument/completion', 1, 19).items
  local chosen
  for _, item in ipairs(items) do
    if item.label:find('start', 1, true) then
      chosen = item
    end
  end
  if not chosen then
    fail('no completion of @st: ' .. vim.inspect(items))
  end
  -- What a client does on accepting the item: its edit, or else its text after the cursor's word.
  if chosen.textEdit then
    vim.lsp.util.apply_text_edits({ chosen.textEdit }, 0, 'utf-16')
  else
    vim.api.nvim_buf_set_text(0, 1, 17, 1, 19, { chosen.insertText or chosen.label })
  end
  if vim.fn.getline(2) ~= '        jmp     @start' then
    fail('completion gave ' .. vim.fn.getline(2))
  end
  local params = { textDocument = { uri = vim.uri_from_bufnr(0) },
                   range = { start = { line = 2, character = 8 }, ['end'] = { line = 2, character = 17 } },
                   context = { diagnostics = vim.lsp.diagnostic.get_line_diagnostics(0, 2) } }
  local actions = {}
  for _, reply in pairs(vim.lsp.buf_request_sync(0, 'textDocument/codeAction', params, 20000) or {}) do
    actions = reply.result or actions
  end
  -- The one a user takes: the preferred (Neovim 0.7, which cannot tell it, gets it alone).
  local chosen = actions[1]
  for _, action in ipairs(actions) do
    chosen = action.isPreferred and action or chosen
  end
  if not chosen or not chosen.edit then
    fail('no quick fix: ' .. vim.inspect(actions))
  end
  vim.lsp.util.apply_workspace_edit(chosen.edit, 'utf-16')
  if vim.fn.getline(3) ~= '        reset_ph' then
    fail('the quick fix left ' .. vim.fn.getline(3))
  end
  vim.cmd('qall!')
end

-- K and gd as a user presses them: Neovim 0.7 keeps K on man unless the configuration maps it.
vim.api.nvim_win_set_cursor(0, { 2, 18 })
vim.api.nvim_feedkeys('K', 'x', false)
local function floating()
  for _, window in ipairs(vim.api.nvim_list_wins()) do
    if vim.api.nvim_win_get_config(window).relative ~= '' then
      return window
    end
  end
end
local function hoverText()
  local window = floating()
  return window and table.concat(vim.api.nvim_buf_get_lines(vim.api.nvim_win_get_buf(window), 0, -1, false), '\n')
end
if not vim.wait(20000, function() return hoverText() ~= nil end, 50) or not hoverText():find('address 0', 1, true) then
  fail('K: ' .. tostring(hoverText()))
end
vim.api.nvim_win_close(floating(), true)
vim.api.nvim_win_set_cursor(0, { 2, 18 })
vim.api.nvim_feedkeys('gd', 'x', false)
if not vim.wait(20000, function() return vim.api.nvim_win_get_cursor(0)[1] == 1 end, 50) then
  fail('gd left the cursor at ' .. vim.inspect(vim.api.nvim_win_get_cursor(0)))
end
-- <C-x><C-o> calls the omnifunc: it must be set and know the client (-1: no client, no completion).
if vim.bo.omnifunc == '' or vim.fn.eval(vim.bo.omnifunc .. '(1, "")') == -1 then
  fail('omnifunc: ' .. vim.bo.omnifunc)
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

-- Formatting puts the operands into their column.
vim.cmd('TarnFormat')
if vim.fn.getline(2) ~= '        jmp          @begin' then
  fail('formatting: ' .. vim.inspect(vim.api.nvim_buf_get_lines(0, 0, -1, false)))
end
vim.cmd('qall!')
