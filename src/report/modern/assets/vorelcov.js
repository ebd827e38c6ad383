// The modern coverage report's script: keys n/p between uncovered lines on a
// source page; sorting, a filter box and "hide fully covered" on the lists.
// Every page reads the same without it.
(function () {
  'use strict';

  // ---- source pages ----
  function sourcePage() {
    const rows = Array.from(document.querySelectorAll('table.src tr.miss, table.src tr.part'));
    if (rows.length === 0) return;
    const lineOf = (row) => parseInt(row.id.slice(1), 10);
    let current = 0;  // the line the view stands on
    const fromHash = () => {
      const m = /^#L(\d+)$/.exec(location.hash);
      if (m) current = parseInt(m[1], 10);
    };
    fromHash();
    window.addEventListener('hashchange', fromHash);
    function go(step) {
      let target = null;
      if (step > 0) target = rows.find((r) => lineOf(r) > current) || rows[0];
      else target = rows.slice().reverse().find((r) => lineOf(r) < current) || rows[rows.length - 1];
      current = lineOf(target);
      location.hash = '#' + target.id;
      target.scrollIntoView({ block: 'center' });
    }
    document.addEventListener('keydown', (e) => {
      if (e.ctrlKey || e.metaKey || e.altKey) return;
      const t = e.target;
      if (t && (t.tagName === 'INPUT' || t.tagName === 'TEXTAREA' || t.isContentEditable)) return;
      if (e.key === 'n') { go(1); e.preventDefault(); }
      else if (e.key === 'p') { go(-1); e.preventDefault(); }
    });
    const nav = document.createElement('div');
    nav.className = 'nav';
    for (const [label, step, key] of [['\u25B2 previous', -1, 'p'], ['next \u25BC', 1, 'n']]) {
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = label;
      b.title = (step > 0 ? 'next' : 'previous') + ' uncovered line (key ' + key + ')';
      b.addEventListener('click', () => go(step));
      nav.appendChild(b);
    }
    document.body.appendChild(nav);
  }

  // ---- lists ----
  function cellValue(row, index, numeric) {
    const cell = row.cells[index];
    const v = cell.getAttribute('data-v');
    const text = v === null ? cell.textContent : v;
    return numeric ? parseFloat(text) : text;
  }

  function sortable(table) {
    const body = table.tBodies[0];
    const heads = Array.from(table.tHead.rows[0].cells);
    heads.forEach((th, index) => {
      const kind = th.getAttribute('data-sort');
      if (!kind) return;
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = th.textContent;
      th.textContent = '';
      th.appendChild(button);
      button.addEventListener('click', () => {
        const ascending = th.getAttribute('aria-sort') !== 'ascending';
        heads.forEach((h) => h.removeAttribute('aria-sort'));
        th.setAttribute('aria-sort', ascending ? 'ascending' : 'descending');
        const numeric = kind === 'num';
        const rows = Array.from(body.rows);
        rows.sort((a, b) => {
          const x = cellValue(a, index, numeric), y = cellValue(b, index, numeric);
          const c = numeric ? x - y : (x < y ? -1 : x > y ? 1 : 0);
          if (c !== 0) return ascending ? c : -c;
          const na = a.getAttribute('data-name'), nb = b.getAttribute('data-name');
          return na < nb ? -1 : na > nb ? 1 : 0;
        });
        for (const r of rows) body.appendChild(r);
      });
    });
  }

  function filterable(table) {
    const tools = document.createElement('div');
    tools.className = 'tools';
    const box = document.createElement('input');
    box.type = 'search';
    box.placeholder = 'Filter by path';
    box.setAttribute('aria-label', 'Filter by path');
    const label = document.createElement('label');
    const hide = document.createElement('input');
    hide.type = 'checkbox';
    label.appendChild(hide);
    label.appendChild(document.createTextNode(' hide fully covered'));
    tools.appendChild(box);
    tools.appendChild(label);
    table.parentNode.parentNode.insertBefore(tools, table.parentNode);
    function apply() {
      const needle = box.value.toLowerCase();
      for (const r of table.tBodies[0].rows) {
        const name = (r.getAttribute('data-name') || '').toLowerCase();
        r.hidden = (needle !== '' && name.indexOf(needle) < 0) ||
                   (hide.checked && r.getAttribute('data-full') === '1');
      }
    }
    box.addEventListener('input', apply);
    hide.addEventListener('change', apply);
  }

  function init() {
    sourcePage();
    for (const table of document.querySelectorAll('table.list')) {
      sortable(table);
      filterable(table);
    }
  }
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', init);
  else init();
})();
