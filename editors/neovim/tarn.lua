-- tarn assembly in Neovim (0.7 and later): the file type for .tasm files and the language server.
-- Put it into init.lua, or load it from there with dofile.
vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, { pattern = '*.tasm', command = 'setfiletype tarn' })
vim.api.nvim_create_autocmd('FileType', {
  pattern = 'tarn',
  callback = function(args)
    vim.bo[args.buf].commentstring = '# %s'
    local config = {
      name = 'tarnasm',
      cmd = { 'tarnasm-lsp' },
      root_dir = vim.fn.getcwd(),
      -- Neovim 0.7 leaves K on man and completion unset; later versions do the same themselves.
      on_attach = function(_, buffer)
        vim.bo[buffer].omnifunc = 'v:lua.vim.lsp.omnifunc'
        vim.keymap.set('n', 'K', vim.lsp.buf.hover, { buffer = buffer })
        vim.keymap.set('n', 'gd', vim.lsp.buf.definition, { buffer = buffer })
        -- vim.lsp.buf.format() came with 0.8; 0.7 has formatting_sync() only.
        vim.api.nvim_buf_create_user_command(buffer, 'TarnFormat', function()
          if vim.lsp.buf.format then
            vim.lsp.buf.format({ timeout_ms = 5000 })
          else
            vim.lsp.buf.formatting_sync(nil, 5000)
          end
        end, { desc = 'Format the buffer with tarnasm-lsp' })
      end,
    }
    if vim.lsp.start then
      vim.lsp.start(config)
    else -- Neovim 0.7
      vim.lsp.buf_attach_client(args.buf, vim.lsp.start_client(config))
    end
  end,
})
