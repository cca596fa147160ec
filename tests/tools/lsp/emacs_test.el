;;; emacs_test.el --- editors/emacs/tarnasm.el in a headless Emacs against the real tarnasm-lsp  -*- lexical-binding: t -*-

;; Run as: emacs --batch -q -l emacs_test.el, with TARNASM_SOURCE_DIR naming the source tree and
;; TARNASM_SCRATCH a folder to write into; the init.el it loads is the editors page's own. TARNASM_PART=fixes checks completion and quick fixes
;; instead of diagnostics, hover and formatting. Exits 1 with the reason on the first failure.

(defun tarnasm-test-fail (format-string &rest args)
  (princ (concat "FAILED: " (apply #'format format-string args) "\n") #'external-debugging-output)
  (kill-emacs 1))

(defun tarnasm-test-wait (predicate what)
  "Serves the server's messages until PREDICATE holds; fails naming WHAT after 20 seconds."
  (let ((deadline (+ (float-time) 20)))
    (while (and (not (funcall predicate)) (< (float-time) deadline))
      (accept-process-output nil 0.05))
    (unless (funcall predicate)
      (tarnasm-test-fail "timed out waiting for %s" what))))

(unless (require 'eglot nil t)
  (princ "eglot is not installed: skipped\n")
  (kill-emacs 77))
;; The line docs/editors.md tells users to put into init.el, with this tree in place of its path.
(let* ((source (file-name-as-directory (getenv "TARNASM_SOURCE_DIR")))
       (page (with-temp-buffer
               (insert-file-contents (expand-file-name "docs/editors.md" source))
               (buffer-string)))
       (init (expand-file-name ".emacs.d/init.el" (getenv "TARNASM_SCRATCH"))))
  (unless (string-match "^(load \"/path/to/tarnasm/\\([^\"]+\\)\")$" page)
    (tarnasm-test-fail "no (load ...) line on the editors page"))
  (let ((snippet (concat source (match-string 1 page))))
    (make-directory (file-name-directory init) t)
    (with-temp-file init
      (insert (format "(load %S)\n" snippet))))
  (load init))
;; A file outside any version control is still a project for eglot.
(add-hook 'project-find-functions (lambda (dir) (cons 'transient dir)))

(condition-case failure
(let* ((dir (file-name-as-directory (getenv "TARNASM_SCRATCH")))
       (file (expand-file-name "emacs.tasm" dir)))
  (make-directory dir t)
  (with-temp-file file
    (insert "start:  nop\n        jmp     @start\n        frob    1\nlater:  jmp @start\n"))
  (find-file file)
  (unless (eq major-mode 'tarn-mode)
    (tarnasm-test-fail "the mode is %s" major-mode))
  ;; eglot-ensure waits for a command loop that batch Emacs does not run: start it directly.
  (apply #'eglot (eglot--guess-contact))
  (tarnasm-test-wait #'eglot-current-server "the server")
  (let ((server (eglot-current-server)))
    (if (equal (getenv "TARNASM_PART") "fixes")
        (progn
          ;; Completion after the sigil inserts the label once.
          (goto-char (point-min))
          (forward-line 3)
          (end-of-line)
          (delete-char -3)
          (completion-at-point)
          (unless (equal (thing-at-point 'line t) "later:  jmp @start\n")
            (tarnasm-test-fail "completion gave %S" (thing-at-point 'line t)))
          ;; The quick fix of the unknown mnemonic replaces it.
          (goto-char (point-min))
          (forward-line 2)
          (back-to-indentation)
          (let ((actions (jsonrpc-request server :textDocument/codeAction
                                          (list :textDocument (eglot--TextDocumentIdentifier)
                                                :range (list :start (eglot--pos-to-lsp-position (point))
                                                             :end (eglot--pos-to-lsp-position (+ (point) 4)))
                                                :context (list :diagnostics [])))))
            (when (seq-empty-p actions)
              (tarnasm-test-fail "no code action for frob"))
            (eglot--apply-workspace-edit (plist-get (aref actions 0) :edit)))
          (when (string-match-p "frob" (buffer-string))
            (tarnasm-test-fail "the quick fix left %S" (buffer-string))))
      ;; Diagnostics through flymake, at the unknown mnemonic.
      (tarnasm-test-wait (lambda () (flymake-diagnostics)) "diagnostics")
      (let ((diagnostic (car (flymake-diagnostics))))
        (unless (string-match-p "instruction 'frob' not found" (flymake-diagnostic-text diagnostic))
          (tarnasm-test-fail "diagnostic %S" (flymake-diagnostic-text diagnostic)))
        (unless (= (line-number-at-pos (flymake-diagnostic-beg diagnostic)) 3)
          (tarnasm-test-fail "diagnostic on line %d" (line-number-at-pos (flymake-diagnostic-beg diagnostic)))))
      ;; Without markdown-mode eglot takes plain text only: the hover holds no markup.
      (goto-char (point-min))
      (forward-line 1)
      (search-forward "@sta")
      (let* ((hover (jsonrpc-request server :textDocument/hover (eglot--TextDocumentPositionParams)))
             (contents (plist-get hover :contents)))
        (unless (and (equal (plist-get contents :kind) "plaintext")
                     (string-match-p "address 0" (plist-get contents :value))
                     (not (string-match-p "[`*]" (plist-get contents :value))))
          (tarnasm-test-fail "hover %S" hover)))
      ;; Formatting through eglot's own command.
      (eglot-format-buffer)
      (unless (equal (buffer-string)
                     (concat "start:  nop\n        jmp          @start\n        frob         1\n"
                             "later:  jmp          @start\n"))
        (tarnasm-test-fail "formatted %S" (buffer-string)))))
  (set-buffer-modified-p nil)
  (kill-emacs 0))
  (error (tarnasm-test-fail "%S" failure)))
