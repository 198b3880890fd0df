-- Pandoc filter for the man pages. A page of a source format is a short
-- Markdown page of its own (NAME, SYNOPSIS) followed by the reference of
-- the format, docs/*.md, written for reading on the web:
-- - the reference's title (the first level-1 heading that is not in
--   capitals) is dropped and the headings after it go up one level, so its
--   sections become the page's sections;
-- - the page's sections are in capitals, as man pages have them;
-- - a link to the other reference names its man page;
-- - the metadata field "closing", when given, ends the page;
-- - tables are narrowed so that, with the gaps between their columns, they
--   fit a terminal of 80 columns: pandoc makes a wide table 70 ens across
--   and leaves the gaps out of its count.

local references = {
  ["line-source.md"] = "genera_scenario-linea(5)",
  ["train-source.md"] = "genera_scenario-treno(5)",
}

local function capitals(header)
  return header:walk({
    Str = function(s) return pandoc.Str(s.text:upper()) end,
    Code = function(c) return pandoc.Code(c.text:upper()) end,
  })
end

function Pandoc(doc)
  local blocks, shift = {}, 0
  for _, b in ipairs(doc.blocks) do
    local drop = false
    if b.t == "Header" then
      local text = pandoc.utils.stringify(b)
      if shift == 0 and b.level == 1 and text ~= text:upper() then
        shift, drop = 1, true
      else
        b.level = math.max(1, b.level - shift)
        if b.level == 1 then b = capitals(b) end
      end
    end
    if not drop then table.insert(blocks, b) end
  end
  if doc.meta.closing then
    table.insert(blocks, pandoc.Para(doc.meta.closing))
  end
  doc.blocks = blocks
  return doc
end

function Link(link)
  local page = references[link.target:gsub("#.*", "")]
  if page and pandoc.utils.stringify(link.content):match("%.md$") then
    return pandoc.Str(page)
  end
end

-- A table of five columns or more (the field tables) cannot fit 80
-- columns without cutting words: each row becomes an item of a list,
-- "Heading: cell" for each cell.
local function as_list(t)
  local headings = {}
  for _, row in ipairs(t.head.rows) do
    for i, cell in ipairs(row.cells) do headings[i] = pandoc.utils.stringify(cell.contents) end
  end
  local items = {}
  for _, body in ipairs(t.bodies) do
    for _, row in ipairs(body.body) do
      local inlines = {}
      for i, cell in ipairs(row.cells) do
        local text = pandoc.utils.stringify(cell.contents)
        if text ~= "" then
          if #inlines > 0 then table.insert(inlines, pandoc.Str("; ")) end
          if i > 1 then table.insert(inlines, pandoc.Emph({pandoc.Str((headings[i] or "") .. ":")})) end
          if i > 1 then table.insert(inlines, pandoc.Space()) end
          for _, b in ipairs(cell.contents) do
            if b.content then for _, x in ipairs(b.content) do table.insert(inlines, x) end end
          end
        end
      end
      table.insert(items, {pandoc.Plain(inlines)})
    end
  end
  return pandoc.BulletList(items)
end

function Table(t)
  if #t.colspecs >= 5 then return as_list(t) end
  local total, columns = 0, #t.colspecs
  for _, colonna in ipairs(t.colspecs) do
    if type(colonna[2]) == "number" then total = total + colonna[2] end
  end
  -- 71 ens of text at 80 columns (70 to be safe), 3 between two columns.
  local room = (70 - 3 * (columns - 1)) / 70
  if total <= room then return nil end
  for i, colonna in ipairs(t.colspecs) do
    if type(colonna[2]) == "number" then
      t.colspecs[i] = {colonna[1], colonna[2] * room / total}
    end
  end
  return t
end
