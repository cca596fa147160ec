-- tarn assembly in Neovim (0.7 and later): the file type for .tasm files and the language server.
-- Put it into init.lua, or load it from there with dofile.
vim.api.nvim_create_autocmd({ 'BufRead', 'BufNewFile' }, { pattern = '*.tasm', command = 'setfiletype tarn' })
vim.api.nvim_create_autocmd('FileType', {
  pattern = 'tarn',
  callback = function(args)
    vim.bo[args.buf].commentstring = '# %s'
    local config = { name = 'tarnasm', cmd = { 'tarnasm-lsp' }, root_dir = vim.fn.getcwd() }
    if vim.lsp.start then
      vim.lsp.start(config)
    else -- Neovim 0.7
      vim.lsp.buf_attach_client(args.buf, vim.lsp.start_client(config))
    end
  end,
})
