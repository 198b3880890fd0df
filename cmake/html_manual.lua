-- Pandoc filter for the HTML manual of the Windows zip: the Markdown of the
-- manual's pages, written for the repository, read as pages side by side.
-- - a link to another page of the manual, X.md, goes to X.html (its
--   anchor kept);
-- - the man page's own markup (raw roff) is left out;
-- - what a page says to its developers about the tests that keep it true
--   is left out, as in the man pages.
local pages = {
  ["tutorial.md"] = "tutorial.html",
  ["line-source.md"] = "line-source.html",
  ["train-source.md"] = "train-source.html",
  ["codes.md"] = "codes.html",
  ["compiled-files.md"] = "compiled-files.html",
  ["editors.md"] = "editors.html",
}

function Link(link)
  local file, anchor = link.target:match("^([^#]*)(#?.*)$")
  local base = file:match("([^/]+)$")
  if base and pages[base] then
    link.target = pages[base] .. anchor
    return link
  end
end

function RawBlock(raw)
  if raw.format == "man" then return {} end
end
