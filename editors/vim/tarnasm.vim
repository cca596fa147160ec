" tarn assembly in Vim 9 with ALE: put this file into ~/.vim/plugin/ (ALE installed, tarnasm-lsp on
" PATH). It makes .tasm files the filetype tarn and registers tarnasm-lsp as ALE's linter for it:
" errors as you type, :ALEHover, :ALEGoToDefinition, :ALEFindReferences, :ALERename, and completion
" with `let g:ale_completion_enabled = 1` in vimrc before ALE is loaded.
augroup tarnasm
  autocmd!
  autocmd BufRead,BufNewFile *.tasm setfiletype tarn
  autocmd FileType tarn setlocal commentstring=#\ %s comments=:# omnifunc=ale#completion#OmniFunc
augroup END

let g:ale_linters = get(g:, 'ale_linters', {})
let g:ale_linters.tarn = ['tarnasm']

function! s:TarnasmRoot(buffer) abort
  return fnamemodify(bufname(a:buffer), ':p:h')
endfunction

call ale#linter#Define('tarn', {
\   'name': 'tarnasm',
\   'lsp': 'stdio',
\   'executable': 'tarnasm-lsp',
\   'command': '%e',
\   'project_root': function('s:TarnasmRoot'),
\})
