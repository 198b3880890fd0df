// The live preview's link to the server: new versions, and the state over the drawing.

/// The live page's state over the drawing: the errors of the last
/// compile, or the source that went missing.
function show_state() {
  const box = document.getElementById('overlay');
  const st = model.stato;
  box.textContent = '';
  if (!st || st.esito === 'ok') { box.hidden = true; return; }
  const heading = document.createElement('h3');
  const note = document.createElement('div');
  box.appendChild(heading);
  box.appendChild(note);
  if (st.esito === 'mancante') {
    heading.textContent = st.file + ' is missing';
    note.textContent = 'It was deleted or renamed. The drawing is the last one made; it is redrawn when the file is back.';
  } else {
    const list = st.diagnostiche.filter((d) => d.gravita === 'error');
    heading.textContent = list.length + (list.length === 1 ? ' error' : ' errors') + ' in the sources';
    note.textContent = st.disegno === 'ultimo_buono'
      ? 'The drawing is the last one that compiled without errors.'
      : 'Drawn as far as the sources go; stretches no record reached are hatched.';
    const ol = document.createElement('ol');
    for (const d of list) {
      const li = document.createElement('li');
      li.textContent = (d.file ? d.file + (d.riga ? ':' + d.riga : '') + ': ' : '') + diagnostic_title(d) + ': ' + d.testo;
      ol.appendChild(li);
    }
    box.appendChild(ol);
  }
  box.hidden = false;
}

function start_live() {
  const live = document.getElementById('live');
  live.hidden = false;
  live.textContent = 'live';
  let busy = false;
  setInterval(async () => {
    if (busy) return;
    busy = true;
    try {
      const answer = await fetch('version', {cache: 'no-store'});
      const version = Number(await answer.text());
      if (version !== model.versione) {
        const data = await (await fetch('data', {cache: 'no-store'})).json();
        model = decode(data);
        fill_lists();
        show_state();
        fit_canvases();  // the diagnostics' lane may come or go
        // The range asked for, within the new line.
        set_range(wanted.from, wanted.to, true);
        live.textContent = 'live \u00b7 updated ' + new Date().toLocaleTimeString('en-GB');
      }
      live.classList.remove('stopped');
    } catch (err) {
      live.textContent = 'live \u00b7 the server does not answer';
      live.classList.add('stopped');
    }
    busy = false;
  }, 250);
}
