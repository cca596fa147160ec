" editors/vim/tarnasm.vim in a headless Vim with ALE against the real tarnasm-lsp: the filetype is
" set and the unknown mnemonic arrives as ALE's error. Exits 77 where ALE is not installed.
set nocompatible
let s:ale = empty($TARNASM_ALE) ? '/usr/share/vim-ale' : $TARNASM_ALE
if !isdirectory(s:ale . '/autoload/ale')
  call writefile(['ALE is not installed: skipped'], '/dev/stderr')
  cquit 77
endif
let &runtimepath = s:ale . ',' . &runtimepath
runtime plugin/ale.vim
source $TARNASM_VIM_SNIPPET

function! s:Fail(message) abort
  call writefile(['FAILED: ' . a:message], '/dev/stderr')
  cquit 1
endfunction

call mkdir($TARNASM_SCRATCH, 'p')
call writefile(['start:  nop', '        frob    1'], $TARNASM_SCRATCH . '/vim.tasm')
execute 'edit ' . $TARNASM_SCRATCH . '/vim.tasm'
if &filetype !=# 'tarn'
  call s:Fail('filetype is ' . &filetype)
endif
ALELint
for s:i in range(200)
  if !empty(ale#engine#GetLoclist(bufnr(''))) | break | endif
  sleep 100m
endfor
let s:errors = ale#engine#GetLoclist(bufnr(''))
if len(s:errors) != 1 || s:errors[0].lnum != 2 || s:errors[0].col != 9 || s:errors[0].text !~# "instruction 'frob' not found"
  call s:Fail('errors: ' . string(s:errors))
endif
qall!
