// Checks a modern HTML report (--html DIR) in headless Chromium, driven over
// the DevTools protocol on a pipe (no npm package needed). The report is
// served over HTTP with the Content-Security-Policy a CI server would send.
//
//   node modern-report-check.mjs REPORT_DIR [SCREENSHOT.png]
//
// Fails (status 1) when a page logs an error or a CSP violation, a link or
// #L anchor does not resolve, key n/p does not move to the next/previous
// uncovered line, filter, "hide fully covered" or sort leave the rows as
// they were, the dark theme has the light background, body text contrast is
// below 4.5:1 in either theme, or a page scrolls sideways at 400 px.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const [reportDir, screenshot] = process.argv.slice(2);
if (!reportDir) {
  console.error('usage: node modern-report-check.mjs REPORT_DIR [SCREENSHOT.png]');
  process.exit(2);
}
const root = path.resolve(reportDir);
const csp = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'";
const failures = [];
const fail = (text) => { failures.push(text); console.log('FAIL ' + text); };

// ---- the server ----
const server = http.createServer((req, res) => {
  const name = decodeURIComponent(new URL(req.url, 'http://x').pathname).replace(/^\/+/, '');
  if (name === 'favicon.ico') {  // the browser's own request, not the report's
    res.writeHead(204);
    res.end();
    return;
  }
  const file = path.join(root, name || 'index.html');
  if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
    res.writeHead(404);
    res.end();
    return;
  }
  const type = { '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript' };
  res.writeHead(200, { 'Content-Type': type[path.extname(file)] || 'application/octet-stream',
                       'Content-Security-Policy': csp });
  res.end(fs.readFileSync(file));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}/`;

// ---- the browser ----
const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vorelcov-chromium-'));
const browser = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--no-first-run', '--remote-debugging-pipe', `--user-data-dir=${profile}`, 'about:blank'],
  { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
const toBrowser = browser.stdio[3], fromBrowser = browser.stdio[4];
let nextId = 1, pending = new Map(), listeners = [], buffer = Buffer.alloc(0);
fromBrowser.on('data', (chunk) => {
  buffer = Buffer.concat([buffer, chunk]);
  for (let end; (end = buffer.indexOf(0)) >= 0; buffer = buffer.subarray(end + 1)) {
    const message = JSON.parse(buffer.subarray(0, end).toString('utf8'));
    if (message.id && pending.has(message.id)) {
      const { resolve, reject } = pending.get(message.id);
      pending.delete(message.id);
      message.error ? reject(new Error(JSON.stringify(message.error))) : resolve(message.result);
    } else {
      for (const l of listeners) l(message);
    }
  }
});
function send(method, params = {}, sessionId) {
  const id = nextId++;
  toBrowser.write(JSON.stringify({ id, method, params, sessionId }) + '\0');
  return new Promise((resolve, reject) => pending.set(id, { resolve, reject }));
}
const timeout = setTimeout(() => { console.error('browser check timed out'); process.exit(1); }, 120000);

const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
const page = (method, params) => send(method, params, sessionId);
let errors = [];
listeners.push((m) => {
  if (m.sessionId !== sessionId) return;
  if (m.method === 'Runtime.exceptionThrown') errors.push(m.params.exceptionDetails.text);
  if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
    errors.push(m.params.args.map((a) => a.value).join(' '));
  if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error')
    errors.push(m.params.entry.text);
});
await page('Runtime.enable');
await page('Log.enable');
await page('Page.enable');

async function evaluate(expression) {
  const r = await page('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
  if (r.exceptionDetails) throw new Error(expression + ': ' + r.exceptionDetails.text);
  return r.result.value;
}
async function load(url) {
  const loaded = new Promise((resolve) => {
    const l = (m) => {
      if (m.sessionId === sessionId && m.method === 'Page.loadEventFired') {
        listeners = listeners.filter((x) => x !== l);
        resolve();
      }
    };
    listeners.push(l);
  });
  await page('Page.navigate', { url });
  await loaded;
  await evaluate('new Promise((r) => setTimeout(r, 50))');
}
async function key(k) {
  for (const type of ['keyDown', 'keyUp'])
    await page('Input.dispatchKeyEvent', { type, key: k, text: type === 'keyDown' ? k : undefined,
                                           code: 'Key' + k.toUpperCase() });
  await evaluate('new Promise((r) => setTimeout(r, 50))');
}
const theme = (value) => page('Emulation.setEmulatedMedia',
                              { features: [{ name: 'prefers-color-scheme', value }] });

// ---- every page: no error, links and anchors, contrast, narrow width ----
const pages = fs.readdirSync(root).filter((f) => f.endsWith('.html')).sort();
const ids = new Map(), links = [];
const contrastProbe = fs.readFileSync(new URL('./modern-report-contrast.js', import.meta.url), 'utf8');
await page('Emulation.setDeviceMetricsOverride', { width: 1200, height: 800, deviceScaleFactor: 1,
                                                  mobile: false });
for (const name of pages) {
  errors = [];
  await theme('light');
  await load(base + name);
  if (errors.length) fail(`${name}: console errors: ${errors.join(' | ')}`);
  ids.set(name, new Set(await evaluate('Array.from(document.querySelectorAll("[id]"), (e) => e.id)')));
  for (const href of await evaluate('Array.from(document.querySelectorAll("a[href]"), (a) => a.href)'))
    links.push([name, href]);
  for (const value of ['light', 'dark']) {
    await theme(value);
    const worst = await evaluate(contrastProbe);
    if (worst.ratio < 4.5) fail(`${name} (${value}): contrast ${worst.ratio.toFixed(2)} of "${worst.text}"`);
  }
}
let checkedLinks = 0;
for (const [from, href] of links) {
  if (!href.startsWith(base)) { fail(`${from}: outside link ${href}`); continue; }
  const url = new URL(href);
  const target = decodeURIComponent(url.pathname.slice(1));
  const anchor = decodeURIComponent(url.hash.slice(1));
  ++checkedLinks;
  if (!ids.has(target)) fail(`${from}: link to missing page ${href}`);
  else if (anchor && !ids.get(target).has(anchor)) fail(`${from}: missing anchor ${href}`);
}
console.log(`${pages.length} pages loaded, ${checkedLinks} links checked`);

// ---- themes ----
await load(base + 'index.html');
await theme('light');
const lightBackground = await evaluate('getComputedStyle(document.body).backgroundColor');
await theme('dark');
const darkBackground = await evaluate('getComputedStyle(document.body).backgroundColor');
if (lightBackground === darkBackground) fail(`dark theme background ${darkBackground} equals the light one`);
await theme('light');

// ---- keys n and p on the first source page with uncovered lines ----
let keyPage = null;
for (const name of pages.filter((n) => n.startsWith('f-'))) {
  const text = fs.readFileSync(path.join(root, name), 'utf8');
  if ((text.match(/<tr id="L\d+" class="(miss|part)">/g) || []).length >= 2) { keyPage = name; break; }
}
if (keyPage) {
  await page('Emulation.setDeviceMetricsOverride', { width: 800, height: 300, deviceScaleFactor: 1,
                                                    mobile: false });
  await load(base + keyPage);
  const marked = await evaluate('Array.from(document.querySelectorAll("table.src tr.miss, table.src tr.part"), (r) => "#" + r.id)');
  await key('n');
  const first = await evaluate('location.hash');
  const firstTop = await evaluate(`document.querySelector("${marked[0]}").getBoundingClientRect().top`);
  await key('n');
  const second = await evaluate('location.hash');
  await key('p');
  const back = await evaluate('location.hash');
  if (first !== marked[0] || second !== marked[1] || back !== marked[0])
    fail(`${keyPage}: n, n, p went to ${first}, ${second}, ${back}; expected ${marked[0]}, ${marked[1]}, ${marked[0]}`);
  if (firstTop < 0 || firstTop > 300) fail(`${keyPage}: n left ${marked[0]} out of view (top ${firstTop})`);
  console.log(`${keyPage}: n/p move between ${marked.length} uncovered lines`);
} else {
  fail('no source page with two uncovered lines to try n/p on');
}

// ---- filter, hide fully covered and sort on the list with the most rows ----
let listPage = null, most = 0;
for (const name of pages.filter((n) => n === 'index.html' || n.startsWith('d-'))) {
  const rows = (fs.readFileSync(path.join(root, name), 'utf8').match(/<tr data-name=/g) || []).length;
  if (rows > most) { most = rows; listPage = name; }
}
await page('Emulation.setDeviceMetricsOverride', { width: 1200, height: 800, deviceScaleFactor: 1,
                                                  mobile: false });
await load(base + listPage);
const visible = 'Array.from(document.querySelectorAll("table.list tbody tr"), (r) => r.hidden ? null : r.dataset.name).filter((n) => n)';
const all = await evaluate(visible);
const pick = all[all.length - 1];
await evaluate(`(() => { const b = document.querySelector(".tools input[type=search]");
  b.value = ${JSON.stringify(pick)}; b.dispatchEvent(new Event("input")); })()`);
const filtered = await evaluate(visible);
if (!(filtered.length >= 1 && filtered.length < all.length && filtered.every((n) => n.includes(pick))))
  fail(`${listPage}: filter "${pick}" left ${JSON.stringify(filtered)} of ${all.length} rows`);
await evaluate(`(() => { const b = document.querySelector(".tools input[type=search]");
  b.value = ""; b.dispatchEvent(new Event("input")); })()`);
const fullRows = await evaluate('document.querySelectorAll("table.list tr[data-full]").length');
await evaluate('document.querySelector(".tools input[type=checkbox]").click()');
const unhidden = await evaluate(visible);
if (unhidden.length !== all.length - fullRows)
  fail(`${listPage}: hide fully covered shows ${unhidden.length} rows, expected ${all.length - fullRows}`);
await evaluate('document.querySelector(".tools input[type=checkbox]").click()');
const lastColumn = await evaluate('document.querySelectorAll("table.list thead th").length') - 1;
for (const column of [0, 1, lastColumn]) {
  await evaluate(`document.querySelectorAll("table.list thead th button")[${column}].click()`);
  const up = await evaluate(visible);
  await evaluate(`document.querySelectorAll("table.list thead th button")[${column}].click()`);
  const down = await evaluate(visible);
  const values = await evaluate(`Array.from(document.querySelectorAll("table.list tbody tr"), (r) => r.cells[${column}].dataset.v)`);
  const distinct = new Set(values).size > 1;
  if (distinct && JSON.stringify(up) === JSON.stringify(down))
    fail(`${listPage}: sorting column ${column} both ways gives the same rows`);
  if (column > 0) {
    const numbers = values.map(Number);
    if (numbers.some((v, i) => i > 0 && numbers[i - 1] < v))
      fail(`${listPage}: column ${column} descending is out of order: ${values}`);
  }
}
console.log(`${listPage}: filter, hide fully covered and sort change the ${all.length} rows`);

// ---- 400 px wide: no page scrolls sideways ----
await page('Emulation.setDeviceMetricsOverride', { width: 400, height: 800, deviceScaleFactor: 1,
                                                  mobile: true });
for (const name of [listPage, keyPage].filter(Boolean)) {
  await load(base + name);
  const width = await evaluate('document.documentElement.scrollWidth');
  if (width > 400) fail(`${name}: ${width} px wide at a 400 px viewport`);
}

// ---- a screenshot of a source page ----
if (screenshot && keyPage) {
  await page('Emulation.setDeviceMetricsOverride', { width: 1000, height: 760, deviceScaleFactor: 1,
                                                    mobile: false });
  await load(base + keyPage);
  await evaluate('document.querySelector("details") && (document.querySelector("details").open = true)');
  await evaluate('(document.querySelector("tr.part") || document.querySelector("tr.miss")).scrollIntoView({block: "center"})');
  const shot = await page('Page.captureScreenshot', { format: 'png' });
  fs.writeFileSync(screenshot, Buffer.from(shot.data, 'base64'));
  console.log('screenshot: ' + screenshot);
}

clearTimeout(timeout);
const exited = new Promise((resolve) => browser.on('exit', resolve));
browser.kill();
await exited;
server.close();
try { fs.rmSync(profile, { recursive: true, force: true }); } catch (e) { /* left in the temp dir */ }
if (failures.length) {
  console.log(`modern report check: ${failures.length} failures`);
  process.exit(1);
}
console.log('modern report check: ok');
