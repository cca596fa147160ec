;;; tarnasm.el --- tarn assembly in Emacs, with tarnasm-lsp through eglot  -*- lexical-binding: t -*-

;; Load it from init.el: (load "/path/to/editors/emacs/tarnasm.el").  Needs Emacs 28 with eglot
;; (built in from Emacs 29; Debian's elpa-eglot before) and tarnasm-lsp on PATH.

(require 'eglot)

(defvar tarn-mode-font-lock-keywords
  '(("^[ \t]*\\([A-Za-z_][A-Za-z0-9_]*\\)[ \t]*:" 1 font-lock-function-name-face)
    ("^[ \t]*\\(\\.[A-Za-z0-9_]+\\)" 1 font-lock-preprocessor-face)
    ("@[A-Za-z_][A-Za-z0-9_]*" . font-lock-constant-face)
    ("\\$[A-Za-z_][A-Za-z0-9_]*" . font-lock-variable-name-face)
    ("\\_<[Rr][0-9]+\\_>" . font-lock-builtin-face)
    ("^[ \t]*\\(?:[A-Za-z_][A-Za-z0-9_]*[ \t]*:[ \t]*\\)?\\([A-Za-z0-9_]+\\)" 1 font-lock-keyword-face))
  "Labels, directives, references, registers and mnemonics.")

(define-derived-mode tarn-mode prog-mode "Tarn"
  "Major mode for tarn sequencer assembly."
  (modify-syntax-entry ?# "<" tarn-mode-syntax-table)
  (modify-syntax-entry ?\n ">" tarn-mode-syntax-table)
  (modify-syntax-entry ?_ "_" tarn-mode-syntax-table)
  (setq-local comment-start "# ")
  (setq-local comment-start-skip "#+[ \t]*")
  (setq-local font-lock-defaults '(tarn-mode-font-lock-keywords)))

(add-to-list 'auto-mode-alist '("\\.tasm\\'" . tarn-mode))
(add-to-list 'eglot-server-programs '(tarn-mode . ("tarnasm-lsp")))
(add-hook 'tarn-mode-hook #'eglot-ensure)

(provide 'tarnasm)
;;; tarnasm.el ends here
