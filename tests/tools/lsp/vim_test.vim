" editors/vim/tarnasm.vim and editors/vim/vimrc installed as the editors page says, in a headless
" Vim with ALE against the real tarnasm-lsp: Vim starts without an error, the filetype is set and
" the unknown mnemonic arrives as ALE's error. Exits 77 where ALE is not installed.
function! s:Fail(message) abort
  call writefile(['FAILED: ' . a:message], '/dev/stderr')
  cquit 1
endfunction

if empty(globpath(&packpath, 'pack/*/*/ale/autoload/ale.vim')) && empty(globpath(&runtimepath, 'autoload/ale.vim'))
  call writefile(['ALE is not installed: skipped'], '/dev/stderr')
  cquit 77
endif
" Vim goes on after an error in vimrc or a plugin: what it said is all that is left of it.
if !empty(v:errmsg)
  call s:Fail('starting Vim: ' . v:errmsg)
endif
if !exists('g:loaded_ale') || !g:ale_completion_enabled
  call s:Fail('ALE is not loaded, or without completion')
endif


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
