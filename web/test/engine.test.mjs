// The WebAssembly engine against the native calculator on random rooms (every window type, period and error
// path, in every language) and on every field at its bounds and length. Needs build/web (scripts/web.sh
// --build-only) and build/bin/korvane-energy-cli.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { writeFileSync, mkdtempSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const root = new URL('../../', import.meta.url).pathname;
const build = process.env.KORVANE_BUILD_DIR ?? join(root, 'build');
// The one-file page's engine: the same bindings as the page's module, with the WebAssembly inside.
const createKorvane = createRequire(import.meta.url)(join(build, 'web/bin/korvane-single.js'));
const core = await createKorvane();
const SETS_PER_LANGUAGE = 200;

// A fixed sequence, so that a failure can be repeated.
const random = (seed) => () => (seed = (Math.imul(seed, 1664525) + 1013904223) >>> 0) / 4294967296;

// Ranges reach past the window models' tables, and a few values hit the arithmetic faults (a zero distance,
// a room height of 0.8 m) and the wrong window type; every text fits its field, as the calculator checks.
function roomSet(next) {
  const real = (low, high, digits = 2) => (low + next() * (high - low)).toFixed(digits);
  const whole = (low, high) => String(low + Math.floor(next() * (high - low + 1)));
  const pick = (values) => values[Math.floor(next() * values.length)];
  const begin = Number(whole(0, 23));
  return {
    'window-type': next() < 0.03 ? '0' : whole(1, 3),
    begin: String(begin),
    end: whole(begin + 1, 24),
    period: whole(0, 12),
    depth: real(0.5, 30),
    width: real(0.5, 40),
    illuminance: whole(50, 2000),
    longitude: real(-179, 179, 1),
    latitude: real(-89, 89, 2),
    gmt: whole(-12, 14),
    transmittance: whole(0, 100),
    band: pick(['30', '60', '90', '60', '45']),
    'window-height': real(0.1, 5),
    'room-height': next() < 0.05 ? '0.8' : real(0.5, 9),
    'window-area': real(0.1, 6),
    'window-distance': next() < 0.05 ? '0' : real(0.3, 14),
    slope: pick(['60', '90', '60', '90', '75']),
  };
}

// The page's fields for the same room: the window takes the geometry of the selected type only.
function pageInputs(set, language) {
  const type = Number(set['window-type']);
  const fields = { 0: set.begin, 1: set.end, 2: set.depth, 3: set.width, 4: set.illuminance, 5: set.longitude,
    6: set.latitude, 7: set.gmt, 9: set.transmittance, 11: set['window-height'], 10: set['room-height'],
    12: set['window-area'], 13: set['window-distance'], 14: set['window-height'], 15: set['room-height'],
    16: set['window-distance'] };
  return { fields, windowType: type, band: set.band, slope: set.slope, period: Number(set.period),
    separator: '.', language };
}

function nativeRows(sets, language) {
  const dir = mkdtempSync(join(tmpdir(), 'korvane-web-'));
  const names = Object.keys(sets[0]);
  const csv = [names.join(','), ...sets.map((set) => names.map((n) => set[n]).join(','))].join('\n') + '\n';
  writeFileSync(join(dir, 'rooms.csv'), csv);
  // Exit code 1 when some rows raised an error; every row is printed all the same.
  const { stdout } = spawnSync(join(build, 'bin/korvane-energy-cli'),
    ['--batch', join(dir, 'rooms.csv'), '--json', '--language', String(language)], { encoding: 'utf8' });
  return stdout.trim().split('\n').map((line) => JSON.parse(line));
}

test('the WebAssembly engine gives the native results', () => {
  const next = random(20261206);
  let compared = 0;
  const errors = new Map();
  for (let language = 1; language <= 6; ++language) {
    const sets = Array.from({ length: SETS_PER_LANGUAGE }, () => roomSet(next));
    const natives = nativeRows(sets, language);
    assert.equal(natives.length, sets.length);
    sets.forEach((set, i) => {
      const native = natives[i];
      const page = core.calculate(pageInputs(set, language), true);
      const where = `language ${language}, ${JSON.stringify(set)}`;
      // What the one conversion refuses, both refuse: a choice outside its list, say.
      if (page.percent === undefined) {
        assert.ok(native.error && native.fraction === null, where);
        errors.set('refused', (errors.get('refused') ?? 0) + 1);
        return;
      }
      // The period's own run and its entry among the thirteen agree to the bit.
      assert.deepEqual(page.periods[Number(set.period)], { percent: page.percent, fraction: page.fraction,
        error: page.error }, where);
      assert.equal(page.percent, native.percent ?? 0, where);
      assert.deepEqual(page.error, native.error, where);
      // To the bit: every build computes with the same sine, cosine and arctangent.
      assert.equal(page.fraction, native.fraction, where);
      const kind = native.error?.description ?? 'none';
      errors.set(kind, (errors.get(kind) ?? 0) + 1);
      ++compared;
    });
  }
  // Every error path was met: a refused choice, each model message (155 in all six languages), division by
  // zero, and rooms without one.
  assert.ok(errors.size >= 11, [...errors.keys()].join(' | '));
  console.log(`${compared} rooms compared, every fraction bit-identical; errors: ` +
    [...errors].map(([text, n]) => `${n}× ${text}`).join('; '));
});

// Every field of the binding's table at, just inside and just beyond each bound, and at and past its length:
// the page's key filter, length and check on leaving agree with what the calculator's batch refuses.
test('the page keeps the bounds and lengths of the calculator', () => {
  const limits = core.fieldLimits();
  const options = [...new Set(Object.values(limits).map((field) => field.option))];
  const cases = Object.entries(limits).flatMap(([index, field]) => {
    const step = field.real ? 0.5 : 1;
    const rows = [['0'.repeat(field.maxLength), true, false], ['0'.repeat(field.maxLength + 1), true, true],
      ['-1', field.minus, false]];
    for (const [bound, inward] of [[field.low, step], [field.high, -step]])
      for (const offset of bound === null ? [] : [0, inward, -inward])
        rows.push([String(bound + offset), offset !== -inward, false]);
    return rows.map(([text, inRange, tooLong]) => ({ index: Number(index), field, text, inRange, tooLong }));
  });
  const csv = [['window-type', ...options], ...cases.map(({ field, text }) =>
    [Math.max(1, field.windowType), ...options.map((option) => (option === field.option ? text : ''))])];
  const { stdout } = spawnSync(join(build, 'bin/korvane-energy-cli'), ['--batch', '-'],
    { input: csv.map((row) => row.join(',')).join('\n') + '\n', encoding: 'utf8' });
  const rows = stdout.trim().split('\n').slice(1);
  const verdict = (yes) => (yes ? 'takes' : 'refuses');
  const got = cases.map(({ index, field, text }, i) => {
    const kept = [...text].map((key) => core.filterKey(index, key, '.')).join('');
    const page = kept !== text ? 'refuses' : text.length > field.maxLength ? 'cuts'
      : verdict(core.acceptOnLeave(index, text, '.'));
    const refused = new RegExp(`[,"]${field.option}: `).test(rows[i] ?? `,${field.option}: no row`);
    return `${field.option} '${text}': page ${page}, calculator ${verdict(!refused)}`;
  });
  assert.deepEqual(got, cases.map(({ field, text, inRange, tooLong }) =>
    `${field.option} '${text}': page ${tooLong ? 'cuts' : verdict(inRange)}, calculator ${verdict(inRange)}`));
});
