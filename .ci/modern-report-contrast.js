// Evaluated in a page of the modern report: the lowest contrast ratio of
// any visible text against the background it stands on, with its text.
(() => {
  const parse = (c) => {
    const m = c.match(/rgba?\(([\d.]+),\s*([\d.]+),\s*([\d.]+)(?:,\s*([\d.]+))?\)/);
    return m ? [+m[1], +m[2], +m[3], m[4] === undefined ? 1 : +m[4]] : [0, 0, 0, 0];
  };
  const luminance = ([r, g, b]) => {
    const f = (v) => { v /= 255; return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * f(r) + 0.7152 * f(g) + 0.0722 * f(b);
  };
  const background = (e) => {
    for (; e; e = e.parentElement) {
      const c = parse(getComputedStyle(e).backgroundColor);
      if (c[3] > 0) return c;
    }
    return parse(getComputedStyle(document.documentElement).backgroundColor);
  };
  let worst = { ratio: 99, text: '' };
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n; (n = walker.nextNode());) {
    if (!n.textContent.trim()) continue;
    const e = n.parentElement;
    const style = getComputedStyle(e);
    const box = e.getBoundingClientRect();
    if (style.visibility === 'hidden' || box.width <= 1 || box.height <= 1) continue;
    const a = luminance(parse(style.color)), b = luminance(background(e));
    const ratio = (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
    if (ratio < worst.ratio) worst = { ratio, text: n.textContent.trim().slice(0, 40) };
  }
  return worst;
})()
