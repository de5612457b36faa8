// The page in Debian's chromium, served as scripts/web.sh serves it: start result, typing and its checks,
// messages, languages, a room saved and opened again, the phone width and the printed page. Screenshots of
// every language land in build/web-shots/.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';

const root = new URL('../../', import.meta.url).pathname;
const build = process.env.KORVANE_BUILD_DIR ?? join(root, 'build');
const shots = join(build, 'web-shots');
const profile = mkdtempSync(join(tmpdir(), 'korvane-chromium-'));
const downloads = mkdtempSync(join(tmpdir(), 'korvane-downloads-'));
let server, browser, page, url;

// The native calculator's percent for the same room (also when it exits with an engine error).
const native = (...args) => spawnSync(join(build, 'bin/korvane-energy-cli'), args, { encoding: 'utf8' }).stdout.trim();
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

before(async () => {
  server = spawn('python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory',
    join(build, 'web')], { stdio: ['ignore', 'pipe', 'ignore'] });
  const port = await new Promise((resolve) => server.stdout.on('data', (data) => resolve(/port (\d+)/.exec(data)?.[1])));
  url = `http://127.0.0.1:${port}/`;
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
  server?.kill();
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
  assert.equal(await page.$$eval('#overviewChart rect', (bars) => bars.length), 13);

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
  await (await page.$('#roomFile')).uploadFile(join(build, 'web/DEFAULT.GEO'));
  await page.waitForSelector('#msgBox[open]');
  assert.equal(await messageText(), 'The room file cannot be opened.\nThe file is damaged or not JSON.');
  await (await page.$('#roomFile')).uploadFile(join(downloads, saved()));
  await page.waitForFunction(() => document.getElementById('txtInput3').value === '12');
  await calculate();
  assert.equal(await text('#lblResult'), sawtooth);

  // The printed report is one page.
  const pdf = Buffer.from(await page.pdf({ format: 'A4', printBackground: true }));
  assert.equal(pdf.toString('latin1').match(/\/Type\s*\/Page[^s]/g).length, 1);
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

  // A phone's width: nothing reaches past the screen.
  await page.setViewport({ width: 360, height: 740 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= 360));
  await page.screenshot({ path: join(shots, 'page-360px.png'), fullPage: true });
});

