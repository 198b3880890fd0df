-- Neovim's own LSP client against `genera_scenario lsp`: open a train
-- source with a misspelt key, wait for the server's diagnostics, ask for a
-- hover, and write what the editor got (and, on a screen, show the hover for
-- a screenshot). Run by neovim_test.sh.
local exe = vim.env.GENERA_EXE
local file = vim.env.GENERA_FILE
local out = vim.env.GENERA_OUT
local report = {}
local function say(line) table.insert(report, line) end
local function finish(ok)
  vim.fn.writefile(report, out)
  if ok then vim.cmd('qall!') else vim.cmd('cquit! 1') end
end

vim.cmd('edit ' .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()
local client_id = vim.lsp.start_client({
  name = 'genera_scenario',
  cmd = { exe, 'lsp' },
  root_dir = vim.fn.fnamemodify(file, ':h'),
})
if not client_id then
  say('the client did not start')
  return finish(false)
end
vim.lsp.buf_attach_client(buf, client_id)

-- The diagnostics come once the server has compiled the pair.
local got = vim.wait(30000, function() return #vim.diagnostic.get(buf) > 0 end, 50)
if not got then
  say('no diagnostics arrived')
  return finish(false)
end
for _, d in ipairs(vim.diagnostic.get(buf)) do
  say(string.format('diagnostic %d:%d severity %d: %s', d.lnum + 1, d.col + 1, d.severity,
    (d.message:gsub('\n', ' | '))))
end

-- A hover on the first signal's position.
local row
for i, line in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
  if line:match('^segnale,%s+8200') then row = i - 1 break end
end
local results = vim.lsp.buf_request_sync(buf, 'textDocument/hover', {
  textDocument = { uri = vim.uri_from_bufnr(buf) },
  position = { line = row, character = 13 },
}, 30000)
local hover
for _, r in pairs(results or {}) do
  if r.result then hover = r.result.contents.value end
end
if not hover then
  say('no hover')
  return finish(false)
end
for line in hover:gmatch('[^\n]+') do say('hover: ' .. line) end

-- On a screen: the hover shown as Neovim shows it, held until the
-- screenshot is taken.
local ready, done = vim.env.GENERA_READY, vim.env.GENERA_DONE
if ready and done then
  -- The warned line at the top, the hover below the signal.
  vim.fn.winrestview({ topline = math.max(1, vim.diagnostic.get(buf)[1].lnum - 1) })
  vim.api.nvim_win_set_cursor(0, { row + 1, 13 })
  vim.lsp.util.open_floating_preview(vim.split(hover, '\n'), 'markdown', { border = 'single' })
  vim.cmd('redraw!')
  vim.fn.writefile({}, ready)
  vim.wait(60000, function() return vim.loop.fs_stat(done) ~= nil end, 50)
end
vim.lsp.stop_client(client_id)
finish(true)
