"""The fenced code blocks of a Markdown page, for the tests that run what
the manual shows. A block is ``` or ~~~ and an info string of one word;
the word says what the block is:

  linea-base, treno-base     the minimal pair of sources every example is
                             compiled in (once in the references)
  linea-builtin,             lines of the built-in line source or train
  treno-builtin              source, in their order
  linea-testata              header records, put into linea-base's header
  linea                      body records, put into linea-base's body
  treno                      records, put into treno-base
  linea-file, treno-file     a whole source, compiled with the other base
  json                       what the example before it changes in
                             `genera_scenario inspect --json`
  check                      what `genera_scenario check` prints on stderr
                             for the example before it, "(no message)"
                             for nothing
  sh, text                   a command of the tutorial and its output
"""

import re

_FENCE = re.compile(r"^(```+|~~~+)\s*([^\s`]*)\s*$")


class Block:
    def __init__(self, page, line, info, text):
        self.page = page  # the page's path, for messages
        self.line = line  # the line of the opening fence, 1-based
        self.info = info
        self.text = text

    def where(self):
        return f"{self.page}:{self.line}"


def blocks(path):
    """Every fenced block of the page at `path`, in order."""
    out = []
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        m = _FENCE.match(lines[i])
        if not m:
            i += 1
            continue
        fence, info, start = m.group(1), m.group(2), i
        body = []
        i += 1
        while i < len(lines) and not lines[i].startswith(fence):
            body.append(lines[i])
            i += 1
        if i == len(lines):
            raise ValueError(f"{path}:{start + 1}: a code block that never closes")
        out.append(Block(path, start + 1, info, "\n".join(body) + "\n"))
        i += 1
    return out
