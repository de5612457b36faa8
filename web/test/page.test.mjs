// The page in Debian's chromium, served under a sub-path by a server that knows no WebAssembly type, and
// opened from disk: start result, typing and its checks, messages, languages, room and site files, the About
// view, the phone width and the printed report. Screenshots land in build/web-shots/.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdtempSync, mkdirSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import puppeteer from 'puppeteer-core';

const root = new URL('../../', import.meta.url).pathname;
const build = process.env.KORVANE_BUILD_DIR ?? join(root, 'build');
const shots = join(build, 'web-shots');
const profile = mkdtempSync(join(tmpdir(), 'korvane-chromium-'));
const downloads = mkdtempSync(join(tmpdir(), 'korvane-downloads-'));
const pageDir = join(build, 'web/page');
let server, browser, page, url;

// The native calculator's percent for the same room (also when it exits with an engine error).
// The calculator's saving, its first line (the second is the daylight autonomy).
const native = (...args) =>
  spawnSync(join(build, 'bin/korvane-energy-cli'), args, { encoding: 'utf8' }).stdout.split('\n')[0];
const text = (selector) => page.$eval(selector, (element) => element.textContent);
const value = (index) => page.$eval(`#txtInput${index}`, (input) => input.value);
const focusOn = (id) => page.waitForFunction((want) => document.activeElement.id === want, {}, id);
const typeInto = async (index, keys) => { await page.click(`#txtInput${index}`); await page.keyboard.type(keys); };
const calculate = () => page.click('#cmdCalculate');

const lang = () => page.$eval('html', (html) => html.lang);
const ready = () => page.waitForSelector('body[data-ready]');
// The message box's text after the run, closed with its OK button; null when none opened.
async function messageText() {
  const shown = (await page.$eval('#msgBox', (box) => box.open)) ? await text('#msgText') : null;
  await page.click('#msgOk').catch(() => {});
  return shown;
}

// /sub/path/FILE sends scripts as JavaScript and the .wasm as bytes of no known type; /text/FILE sends the
// scripts as plain text, which no browser runs as a module.
function serve(request, response) {
  const [, mount, ...rest] = request.url.split('/');
  const name = rest.at(-1) || 'index.html';
  const types = { '.html': 'text/html', '.css': 'text/css', ...(mount === 'text' ? {} : { '.js': 'text/javascript' }) };
  try {
    const body = readFileSync(join(pageDir, name));
    response.writeHead(200, { 'Content-Type': types[extname(name)] ?? (mount === 'text' ? 'text/plain' : 'application/octet-stream') });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
}

before(async () => {
  server = createServer(serve);
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  url = `http://127.0.0.1:${server.address().port}/sub/path/`;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--lang=en-US'],
  });
  page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 900 });
  await (await browser.target().createCDPSession()).send('Browser.setDownloadBehavior',
    { behavior: 'allow', downloadPath: downloads });
  mkdirSync(shots, { recursive: true });
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(profile, { recursive: true, force: true });
  rmSync(downloads, { recursive: true, force: true });
});

test('the page works as the window does', async () => {
  await page.goto(url);
  await ready();
  // Milliseconds from the start of the navigation, with an empty cache: the module compiled and the first run.
  console.log(`page load to first result (cold): ${Math.round(await page.evaluate(() => performance.now()))} ms`);
  // First visit: the browser's language; the start values give 69% on green.
  assert.equal(await lang(), 'en');
  assert.equal(await text('#lblResult'), '69%');
  assert.equal(await page.$eval('#picResult', (box) => box.className), 'success');
  assert.equal(await page.$eval('#lblResult', (label) => label.parentElement.getAttribute('aria-live')), 'polite');

  // Typing: entering a field selects its text; the filter keeps digits and turns "," into the separator.
  await typeInto(2, 'a6-');
  await typeInto(3, '1x2,5');
  assert.deepEqual([await value(2), await value(3)], ['6', '12.5']);
  await typeInto(3, '12');
  await calculate();
  assert.equal(await text('#lblResult'), native('--depth', '6', '--width', '12'));
  assert.equal(await page.$$eval('#overviewChart rect', (bars) => bars.length), 12);

  // Leaving a field with a value out of range keeps the focus there; 24 passes.
  await typeInto(0, '25');
  await page.keyboard.press('Tab');
  await focusOn('txtInput0');
  await page.keyboard.type('24'); // the refused text is selected again
  await page.keyboard.press('Tab');
  await focusOn('txtInput1');

  // Message 153 leaves the result as it was; message 146 puts the focus into the first field.
  await calculate();
  assert.equal(await messageText(), 'Ending must be later than beginning');
  await typeInto(0, '8');
  await page.$eval('#txtInput4', (input) => { input.value = ''; });
  await calculate();
  assert.equal(await messageText(), 'Please complete the input before starting the calculation');
  await focusOn('txtInput0');
  await typeInto(4, '500');

  // An engine message: the percent on red, the message in the language of the page.
  await typeInto(2, '10');
  await typeInto(3, '5');
  await calculate();
  assert.equal(await messageText(),
    'The active height of the window is too small in relation to the depth of the room');
  assert.equal(await text('#lblResult'), native('--depth', '10'));
  assert.equal(await page.$eval('#picResult', (box) => box.className), 'failure');

  // A sawtooth room saved, the page reloaded to its start values, and the room opened again.
  await typeInto(2, '6');
  await typeInto(3, '12');
  await page.click('#tab3');
  await page.click('#optWindowSlope2');
  await calculate();
  const sawtooth = native('--depth', '6', '--width', '12', '--window-type', '3', '--slope', '60');
  assert.equal(await text('#lblResult'), sawtooth);
  await page.click('#saveRoom');
  const saved = () => readdirSync(downloads).find((name) => name.endsWith('.kvroom'));
  for (let tries = 0; tries < 100 && !saved(); ++tries)
    await new Promise((resolve) => setTimeout(resolve, 50));
  await page.reload();
  await ready();
  // Opening calculates; a refused file is named, the page's own limits as the window's.
  await (await page.$('#roomFile')).uploadFile(join(downloads, saved()));
  await page.waitForFunction((want) => document.getElementById('lblResult').textContent === want, {}, sawtooth);
  const files = mkdtempSync(join(tmpdir(), 'korvane-files-'));
  const refusals = [
    { input: 'roomFile', name: 'DEFAULT.GEO', bytes: readFileSync(join(root, 'data/DEFAULT.GEO')),
      shown: 'The room file cannot be opened.\nDEFAULT.GEO\n\nThe file is damaged or not JSON.' },
    { input: 'roomFile', name: 'big.kvroom', bytes: Buffer.alloc(64 * 1024 + 1, 32),
      shown: 'The room file cannot be opened.\nbig.kvroom\n\nThe file is too large to be a room file.' },
    { input: 'geoFile', name: 'big.geo', bytes: Buffer.alloc(4 * 1024 * 1024 + 1, 'a'),
      shown: 'Unhandled Error\n75\nPath/File access error: big.geo is larger than 4194304 bytes' },
    { input: 'geoFile', name: 'bad.geo', bytes: Buffer.from('Ort;x;1;1\n'), shown: /Type mismatch in line 1 of bad.geo/ },
  ];
  for (const { input, name, bytes, shown } of refusals) {
    writeFileSync(join(files, name), bytes);
    await (await page.$(`#${input}`)).uploadFile(join(files, name));
    await page.waitForSelector('#msgBox[open]');
    const got = await messageText();
    assert.ok(shown instanceof RegExp ? shown.test(got) : got === shown, `${name}: ${got}`);
  }
  assert.equal(await value(3), '12');

  // Saving refuses what no front end opens again, as the window does.
  await typeInto(0, '25');
  await page.click('#saveRoom');
  assert.match(await messageText(), /25/);
  // The focus is back on the button, or on the refused field when its refocusing came first, where a click
  // would only place the caret: focusing the field either way leaves its text selected.
  await page.focus('#txtInput0');
  await page.keyboard.type('8');

  // The About view: the version of the programs, the disclaimer in the page's language.
  await page.click('#mnuHelpCmd0');
  assert.equal(await text('#lblVersion'), `Version${native('--version').split(' ')[1]}`);
  assert.match(await page.$eval('#txtDescription', (box) => box.value), /^This program is one of our internal tools/);
  await page.screenshot({ path: join(shots, 'about.png') });
  await page.keyboard.press('Escape');

  // The printed report is one page: the inputs, the result with its period, the 13 periods, date and version.
  await page.$eval('#lstInput1', (list) => { list.selectedIndex = 6; });
  await calculate();
  const pdf = Buffer.from(await page.pdf({ format: 'A4', printBackground: true }));
  writeFileSync(join(shots, 'report.pdf'), pdf);
  assert.equal(pdf.toString('latin1').match(/\/Type\s*\/Page[^s]/g).length, 1);
  const report = spawnSync('pdftotext', ['-layout', join(shots, 'report.pdf'), '-'], { encoding: 'utf8' }).stdout;
  const june = native('--depth', '6', '--width', '12', '--window-type', '3', '--slope', '60', '--period', '6');
  for (const line of [/Depth of room +6 +m/, /Slope of window +60°/, new RegExp(`Result \\(June\\) +${june}`),
    /Whole year +\d+%/, /December +\d+%/, /Date: \d{4}-\d\d-\d\d/, /KORVANE Energy 1\.9\.53/])
    assert.match(report, line);

  // A site file just under the limit, of non-Latin names, is read while the page's timer keeps ticking.
  const scripts = ['Москва', 'Αθήνα', '東京都', 'القاهرة'];
  const name = (i) => `${scripts[i % 4].repeat(9)} ${i}`;
  writeFileSync(join(files, 'big.geo'), Array.from({ length: 32767 }, (_, i) => `${name(i)};${i % 360 - 180},25;${i % 180 - 90},5;${i % 25 - 12}\n`).join(''));
  await page.evaluate(() => { let last = performance.now(); window.gap = 0;
    window.ticks = setInterval(() => { gap = Math.max(gap, performance.now() - last); last = performance.now(); }, 10); });
  await (await page.$('#geoFile')).uploadFile(join(files, 'big.geo'));
  await page.waitForFunction(() => document.getElementById('lstInput0').length === 32768, { timeout: 60000 });
  const gap = await page.evaluate(() => { clearInterval(ticks); return gap; });
  console.log(`longest gap between timer ticks while a 3.8 MiB site file is read: ${Math.round(gap)} ms`);
  assert.deepEqual([await value(5), await value(6), await value(7), await page.$eval('#lstInput0', (list) => list.options[32767].text)],
    ['-180.25', '-90.5', '-12', name(32766)]);
  assert.ok(gap < 500, `the page stood still for ${Math.round(gap)} ms`);
  // The list box's keys and mouse: End, a first letter typed, which goes on from the end to the top, a click.
  await page.focus('#lstInput0');
  await page.keyboard.press('End');
  assert.deepEqual([await value(5), await value(6), await value(7)], ['-174.25', '-84.5', '4']);
  await page.keyboard.type('u');
  assert.deepEqual([await page.$eval('#lstInput0', (list) => list.selectedIndex), await value(5)], [0, '']);
  await page.click('#lstInput0-2');
  assert.deepEqual([await page.$eval('#lstInput0', (list) => list.selectedIndex), await value(5)], [2, '-179.25']);
  rmSync(files, { recursive: true, force: true });
});

test('the engine loads from disk in one file, and says so where it cannot load', async () => {
  const cases = [
    { where: `file://${join(build, 'web/korvane-energy.html')}`, result: '69%' },
    { where: `file://${join(pageDir, 'index.html')}`, result: '' },
    { where: url.replace('/sub/path/', '/text/'), result: '' },
  ];
  for (const { where, result } of cases) {
    await page.goto(where);
    await page.waitForSelector(result ? 'body[data-ready]' : 'body[data-engine="missing"]');
    assert.equal(await text('#lblResult'), result, where);
    assert.equal(await page.$eval('#engineMissing', (box) => box.hidden), result !== '', where);
  }
  assert.match(await text('#engineMissing'), /korvane-energy\.html/);
  // Only the page's own files are served.
  assert.deepEqual(readdirSync(pageDir).sort(), ['app.js', 'batch.js', 'index.html', 'korvane-batch.js', 'korvane-batch.wasm',
    'korvane.js', 'korvane.wasm', 'style.css']);
});

test('every language computes 69% and is remembered', async () => {
  // A first visit from a browser that prefers Swiss French.
  await page.evaluate(() => localStorage.clear());
  await page.evaluateOnNewDocument(() => Object.defineProperty(navigator, 'languages', { get: () => ['fr-CH', 'de'] }));
  await page.goto(url);
  await ready();
  assert.equal(await lang(), 'fr');
  const captions = new Set();
  for (const [index, code] of ['de', 'en', 'fr', 'it', 'nl', 'es'].entries()) {
    await page.select('#language', String(await page.$eval('#language', (menu, i) => menu.options[i].value, index)));
    await calculate();
    assert.equal(await text('#lblResult'), '69%', code);
    assert.equal(await lang(), code);
    captions.add(await text('#cmdCalculate'));
    await page.screenshot({ path: join(shots, `page-${code}.png`), fullPage: true });
  }
  assert.equal(captions.size, 6);
  await page.reload();
  await ready();
  assert.equal(await lang(), 'es');
  // A stored value that names no language: the browser's.
  for (const stored of ['7', '2.5', 'xx']) {
    await page.evaluate((v) => localStorage.setItem('korvane-energy.language', v), stored);
    await page.reload();
    await ready();
    assert.equal(await lang(), 'fr', stored);
  }

  // A phone's width: nothing reaches past the screen.
  await page.setViewport({ width: 360, height: 740 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360));
  await page.screenshot({ path: join(shots, 'page-360px.png'), fullPage: true });
});


test('a weather file gives both skies as the calculator does; a refused one changes nothing', async () => {
  const epw = join(root, 'tests/weather/data/PVGIS_45.000N_8.000E_2005-2023.epw');
  const periods = (...args) => JSON.parse(spawnSync(join(build, 'bin/korvane-energy-cli'),
    [...args, '--period', 'all', '--json'], { encoding: 'utf8' }).stdout).periods;
  const standard = periods('--longitude', '8', '--latitude', '45', '--gmt', '1');
  const weather = periods('--weather', epw);
  const percent = (fraction) => `${Math.round(fraction * 100)}%`;
  const table = () => page.$$eval('#skiesTable tr', (rows) => rows.slice(2).map((r) => [...r.cells].map((c) => c.textContent)));
  const site = () => page.evaluate(() => ['txtInput5', 'txtInput6', 'txtInput7', 'lstInput0'].map((id) => {
    const input = document.getElementById(id);
    return `${input.selectedIndex ?? input.value}${input.disabled ? ' fixed' : ''}`;
  }));
  await page.goto(url);
  await page.evaluate(() => localStorage.setItem('korvane-energy.language', '2'));
  await page.reload();
  await ready();
  await (await page.$('#weatherFile')).uploadFile(epw);
  await page.waitForSelector('#skies:not([hidden])');
  const shown = await table();
  assert.deepEqual(shown.map((cells) => cells.slice(1)), standard.map((s, i) =>
    [`${s.percent}%`, percent(s.autonomy), `${weather[i].percent}%`, percent(weather[i].autonomy)]));
  // The main result stays the standard sky's, at the file's site.
  assert.equal(await text('#lblResult'), `${standard[0].percent}%`);
  assert.deepEqual(await site(), ['8 fixed', '45 fixed', '1 fixed', '0 fixed']);
  assert.match(await text('#skiesTitle'), /PVGIS_45\.000N_8\.000E_2005-2023\.epw – unknown/);
  await page.screenshot({ path: join(shots, 'page-weather.png'), fullPage: true });

  const files = mkdtempSync(join(tmpdir(), 'korvane-weather-'));
  const refusals = [
    { name: 'bad.epw', bytes: Buffer.from('LOCATION,x\n'), why: /^The weather file cannot be read\.\n\nbad\.epw: line 1/ },
    { name: 'big.epw', bytes: Buffer.alloc(16 * 1024 * 1024 + 1, 32), why: /big\.epw: larger than 16777216 bytes$/ },
  ];
  for (const { name, bytes, why } of refusals) {
    writeFileSync(join(files, name), bytes);
    await (await page.$('#weatherFile')).uploadFile(join(files, name));
    await page.waitForSelector('#msgBox[open]');
    assert.match(await messageText(), why);
    assert.deepEqual(await table(), shown, name);
    assert.deepEqual(await site(), ['8 fixed', '45 fixed', '1 fixed', '0 fixed'], name);
  }
  rmSync(files, { recursive: true, force: true });

  // The print-out carries both skies; closed, the site can be typed again.
  const pdf = join(shots, 'report-weather.pdf');
  writeFileSync(pdf, Buffer.from(await page.pdf({ format: 'A4', printBackground: true })));
  const report = spawnSync('pdftotext', ['-layout', pdf, '-'], { encoding: 'utf8' }).stdout;
  assert.match(report, new RegExp(shown[0].join(' +')));
  assert.match(report, new RegExp(shown[12].join(' +')));
  await page.click('#closeWeather');
  await page.waitForSelector('#skies[hidden]');
  assert.deepEqual(await site(), ['8', '45', '1', '0']);
});
