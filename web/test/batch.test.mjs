// Whole buildings in the page: generated batch files through the page's worker in Debian's chromium against
// `korvane-energy-cli --batch` on the same file, byte for byte.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join } from 'node:path';
import puppeteer from 'puppeteer-core';

const root = new URL('../../', import.meta.url).pathname;
const build = process.env.KORVANE_BUILD_DIR ?? join(root, 'build');
const pageDir = join(build, 'web/page');
const files = mkdtempSync(join(tmpdir(), 'korvane-batch-'));
const profile = mkdtempSync(join(tmpdir(), 'korvane-chromium-'));
let server, browser, page, url;

// A fixed sequence of rooms at named sites and at typed coordinates, some refused or raising, every window type.
function rooms(count, decimal) {
  let seed = 20261207;
  const next = () => (seed = (Math.imul(seed, 1664525) + 1013904223) >>> 0) / 4294967296;
  const real = (low, high, digits = 2) => (low + next() * (high - low)).toFixed(digits).replace('.', decimal);
  const whole = (low, high) => String(low + Math.floor(next() * (high - low + 1)));
  const sites = ['Berlin', 'Hamburg', 'München', 'Frankfurt am Main', 'Atlantis'];
  return Array.from({ length: count }, (_, i) => {
    const named = next() < 0.5;
    return [named ? sites[Math.floor(next() * sites.length)] : '', named ? '' : real(-179, 179, 3),
      named ? '' : real(-70, 70, 3), whole(0, 3), whole(0, 12), real(0.5, 25), real(0.5, 30), whole(50, 1500),
      real(0.1, 5), next() < 0.03 ? '0' : real(0.3, 14), `Büro ${i}`];
  });
}
const HEADER = ['site', 'longitude', 'latitude', 'window-type', 'period', 'depth', 'width', 'illuminance',
  'window-height', 'window-distance', 'name'];

// The hosted page, and the page in one file opened from disk, whose worker starts from its own text.
const where = (single) => (single ? `file://${join(build, 'web/korvane-energy.html')}` : url);

// The cells of one CSV line (quoted fields as the writer quotes them).
const cells = (line, delimiter) => [...line.matchAll(new RegExp(`("(?:[^"]|"")*"|[^${delimiter}"]*)(?:${delimiter}|$)`, 'g'))]
  .map((m) => m[1]).slice(0, -1);

before(async () => {
  server = createServer((request, response) => {
    const name = request.url.split('/').at(-1) || 'index.html';
    const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.wasm': 'application/wasm' };
    try {
      response.writeHead(200, { 'Content-Type': types[extname(name)] }).end(readFileSync(join(pageDir, name)));
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  browser = await puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', headless: true,
    userDataDir: profile, args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--lang=en-US'] });
  page = await browser.newPage();
  url = `http://127.0.0.1:${server.address().port}/`;
});

after(async () => {
  await browser?.close();
  server?.close();
  rmSync(files, { recursive: true, force: true });
  rmSync(profile, { recursive: true, force: true });
});

const dialects = [
  { name: 'rooms.csv', count: 10000, delimiter: ',', decimal: '.', encoding: 'utf8', single: false },
  { name: 'räume.csv', count: 300, delimiter: ';', decimal: ',', encoding: 'latin1', single: true },
];

for (const { name, count, delimiter, decimal, encoding, single } of dialects) {
  test(`a batch in the page gives the calculator's lines: ${name}`, async () => {
    await page.goto(where(single));
    await page.waitForSelector('body[data-ready]');
    const path = join(files, name);
    writeFileSync(path, Buffer.from([HEADER, ...rooms(count, decimal)].map((r) => r.join(delimiter)).join('\r\n') + '\r\n',
      encoding));
    let started = process.hrtime.bigint();
    const expected = spawnSync(join(build, 'bin/korvane-energy-cli'), ['--batch', path],
      { encoding: 'utf8', maxBuffer: 1 << 26 }).stdout;
    const nativeMs = Number(process.hrtime.bigint() - started) / 1e6;
    started = process.hrtime.bigint();
    await (await page.$('#batchFile')).uploadFile(path);
    await page.waitForSelector('#batchDownload:not([hidden])', { timeout: 120000 });
    const pageMs = Number(process.hrtime.bigint() - started) / 1e6;
    const got = await page.$eval('#batchDownload', async (link) => (await fetch(link.href)).text());
    mkdirSync(join(build, 'web-shots'), { recursive: true });
    await page.screenshot({ path: join(build, 'web-shots', `batch-${count}.png`), fullPage: true });
    assert.equal(await page.$eval('#batchDownload', (link) => link.download), name.replace('.csv', '-result.csv'));
    assert.ok(await page.$eval('#batchProgress', (bar) => bar.hidden));

    // Byte for byte: every build computes with the same sine, cosine and arctangent.
    const lines = got.split('\n'), want = expected.split('\n');
    const first = lines.findIndex((line, i) => line !== want[i]);
    assert.ok(got === expected, `line ${first + 1}: ${lines[first]} | ${want[first]}`);
    const errorNumber = cells(want[0], delimiter).indexOf('error_number');
    const failed = want.filter((line, i) => i > 0 && line && cells(line, delimiter)[errorNumber] !== '').length;
    // The summary and the first rows as the file has them.
    assert.equal(await page.$eval('#batchSummary', (p) => p.textContent), `${name}: ${count} Rows, ${failed} with an error`);
    const shown = await page.$$eval('#batchRows tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));
    assert.deepEqual(shown.map((r) => r.slice(0, 3)), want.slice(0, 11).map((line) => cells(line, delimiter).slice(0, 3)));
    console.log(`${single ? 'one-file page' : 'page'}, ${name}: ${count} rows (${statSync(path).size} bytes), all identical; ` +
      `${failed} errors; page ${Math.round(pageMs)} ms, calculator ${Math.round(nativeMs)} ms`);
  });
}

test('the page calculates while a batch runs, and a cancelled batch leaves no result', async () => {
  await (await page.$('#batchFile')).uploadFile(join(files, 'rooms.csv'));
  await page.$eval('#lblResult', (label) => { label.textContent = ''; });
  await page.click('#cmdCalculate');
  await page.waitForFunction(() => document.getElementById('lblResult').textContent === '69%');
  assert.equal(await page.$eval('#batchProgress', (bar) => bar.hidden), false);
  await page.click('#batchCancel');
  assert.ok(await page.$eval('#batchProgress', (bar) => bar.hidden));
  assert.ok(await page.$eval('#batchDownload', (link) => link.hidden));
});
