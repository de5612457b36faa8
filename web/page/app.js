// The page's behaviour: it wires the fields, lists and buttons to the WebAssembly core and shows what the
// core answers. Every number, text, site and check comes from the core.
import createKorvane from './korvane.js';

// A list box of any length, as the window's site list is: only the rows in view are in the document, so that
// a site file of tens of thousands of entries neither stalls the page nor waits for their layout. It answers
// as a <select> does: length, options[i].text, selectedIndex, disabled, and 'change' on the user's choice.
class LongList extends HTMLElement {
  static ROW = 22; // px, as the style sheet sets it
  #items = [];
  #selected = -1;
  #rows = document.createElement('div');
  #spacer = document.createElement('div');
  #typed = '';
  #typedAt = 0;

  connectedCallback() {
    if (this.#spacer.isConnected)
      return;
    this.setAttribute('role', 'listbox');
    this.tabIndex = 0;
    this.#spacer.className = 'long-list-spacer';
    this.#spacer.append(this.#rows);
    this.append(this.#spacer);
    this.addEventListener('scroll', () => this.#render());
    this.addEventListener('click', (event) => {
      const row = event.target.closest('[role="option"]');
      if (row)
        this.#choose(Number(row.dataset.index));
    });
    this.addEventListener('keydown', (event) => this.#key(event));
    new ResizeObserver(() => this.#render()).observe(this);
  }

  fill(items, selected) {
    this.#items = items;
    this.#spacer.style.height = `${items.length * LongList.ROW}px`;
    this.selectedIndex = selected;
  }

  get length() { return this.#items.length; }
  get options() {
    const items = this.#items;
    return new Proxy({}, { get: (_, key) => key === 'length' ? items.length
      : (/^\d+$/.test(key) && Number(key) < items.length ? { text: items[Number(key)] } : undefined) });
  }
  get selectedIndex() { return this.#selected; }
  set selectedIndex(index) {
    this.#selected = Number.isInteger(index) && index >= 0 && index < this.#items.length ? index : -1;
    this.#show(this.#selected);
  }
  get disabled() { return this.hasAttribute('disabled'); }
  set disabled(value) {
    this.toggleAttribute('disabled', Boolean(value));
    this.setAttribute('aria-disabled', String(Boolean(value)));
    this.tabIndex = value ? -1 : 0;
  }

  #choose(index) {
    if (this.disabled || index < 0 || index >= this.#items.length || index === this.#selected)
      return;
    this.selectedIndex = index;
    this.dispatchEvent(new Event('change'));
  }

  // Scrolls the row into view when it is not, and draws what is in view.
  #show(index) {
    const top = index * LongList.ROW, view = this.clientHeight;
    if (index >= 0 && top < this.scrollTop)
      this.scrollTop = top;
    else if (index >= 0 && top + LongList.ROW > this.scrollTop + view)
      this.scrollTop = top + LongList.ROW - view;
    this.#render();
  }

  #render() {
    const first = Math.floor(this.scrollTop / LongList.ROW);
    const last = Math.min(this.#items.length, first + Math.ceil(this.clientHeight / LongList.ROW) + 1);
    const rows = [];
    for (let i = first; i < last; ++i) {
      const row = document.createElement('div');
      row.setAttribute('role', 'option');
      row.id = `${this.id}-${i}`;
      row.dataset.index = String(i);
      row.setAttribute('aria-selected', String(i === this.#selected));
      row.style.top = `${i * LongList.ROW}px`;
      row.textContent = this.#items[i];
      rows.push(row);
    }
    this.#rows.replaceChildren(...rows);
    if (this.#selected >= first && this.#selected < last)
      this.setAttribute('aria-activedescendant', `${this.id}-${this.#selected}`);
    else
      this.removeAttribute('aria-activedescendant');
  }

  // The keys of a list box: arrows, pages, Home and End, and the first letters of an entry typed in a row.
  #key(event) {
    const page = Math.max(1, Math.floor(this.clientHeight / LongList.ROW) - 1);
    const steps = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page };
    const at = Math.max(this.#selected, 0), end = this.#items.length - 1;
    let target = null;
    if (event.key in steps)
      target = Math.min(end, Math.max(0, (this.#selected < 0 ? -1 : at) + steps[event.key]));
    else if (event.key === 'Home')
      target = 0;
    else if (event.key === 'End')
      target = end;
    else if (event.key.length === 1 && !event.ctrlKey && !event.metaKey && !event.altKey) {
      const now = performance.now();
      this.#typed = (now - this.#typedAt < 1000 ? this.#typed : '') + event.key.toLocaleLowerCase();
      this.#typedAt = now;
      // A first letter moves on to the next entry with it; more letters refine the entry chosen.
      const from = this.#typed.length === 1 ? at + 1 : at;
      for (let n = 0; n <= end && target === null; ++n) {
        const i = (from + n) % (end + 1);
        if (this.#items[i].toLocaleLowerCase().startsWith(this.#typed))
          target = i;
      }
    }
    if (target === null)
      return;
    event.preventDefault();
    this.#choose(target);
  }
}
customElements.define('long-list', LongList);

// LANGUAGE_KEY, LANGUAGE_CODES and engineMissing come from the page's first script, which runs without the
// engine. Until the engine is there the result field stays empty; when it cannot load, the page says so.
const core = await createKorvane().catch((error) => {
  engineMissing();
  throw error;
});

const APP_TITLE = 'KORVANE Energy';
const FIELDS = [0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16];
const GLAZING_ITEMS = [177, 174, 175, 176];
// The glazing presets, and the period list: "Whole year", then January to December.
const { glazingPresets: GLAZING_PRESETS, firstPeriodText: FIRST_PERIOD, periodCount: PERIOD_COUNT } =
  core.choices();

const $ = (id) => document.getElementById(id);
const field = (index) => $(`txtInput${index}`);
const siteList = $('lstInput0');
const periodList = $('lstInput1');
const glazingList = $('lstInput2');
const separator = core.separatorOfLocale(navigator.language || 'C');

let language = 1;
let texts = [];
let studyTexts = {};
let sites = [];
let defaultSite = 1;
let currentPanel = 1;
let lastRun = null; // the inputs and outcome of the last calculation, for the chart and the print-out
let weatherFile = null; // the open weather file: {name, city, longitude, latitude, gmt}

const L = (baseId) => texts[baseId - 100];
// The table's line breaks are single carriage returns; menu captions mark their access key with "&".
const lines = (text) => text.replace(/\r\n?/g, '\n');
const shown = (text) => lines(text).replace(/&/g, '');

// --- messages ----------------------------------------------------------------------------------------------

const msgBox = $('msgBox');

function message(text, title = APP_TITLE) {
  $('msgTitle').textContent = title;
  $('msgText').textContent = lines(text);
  return new Promise((resolve) => {
    msgBox.addEventListener('close', resolve, { once: true });
    msgBox.showModal();
    $('msgOk').focus();
  });
}

function unhandled(error, title) {
  return message(`Unhandled Error\r\n${error.number}\r\n${error.description}`, title);
}

let audio = null;
function beep() {
  try {
    audio ??= new AudioContext();
    const tone = audio.createOscillator();
    const gain = audio.createGain();
    tone.frequency.value = 880;
    gain.gain.value = 0.1;
    tone.connect(gain).connect(audio.destination);
    tone.start();
    tone.stop(audio.currentTime + 0.15);
  } catch {
    // No sound is no reason to stop: the field keeps the focus all the same.
  }
}

// --- fields ------------------------------------------------------------------------------------------------

function wireField(index) {
  const input = field(index);
  const limits = core.fieldLimits()[index];
  input.maxLength = limits.maxLength;
  input.autocomplete = 'off';
  input.spellcheck = false;
  // Entering a field selects its text, also by a click, whose release would otherwise place the caret.
  let entering = false;
  input.addEventListener('mousedown', () => { entering = document.activeElement !== input; });
  input.addEventListener('mouseup', (event) => {
    if (entering)
      event.preventDefault();
    entering = false;
  });
  input.addEventListener('focus', () => input.select());
  input.addEventListener('beforeinput', (event) => {
    if (!event.inputType.startsWith('insert') || event.inputType === 'insertLineBreak')
      return;
    const typed = event.data ?? event.dataTransfer?.getData('text/plain') ?? '';
    let kept = '';
    for (const character of typed)
      kept += core.filterKey(index, character, separator);
    if (kept === typed)
      return;
    event.preventDefault();
    const start = input.selectionStart;
    const end = input.selectionEnd;
    const room = input.maxLength - (input.value.length - (end - start));
    kept = [...kept].slice(0, Math.max(room, 0)).join('');
    if (kept) {
      input.setRangeText(kept, start, end, 'end');
      input.dispatchEvent(new Event('input', { bubbles: true }));
    }
  });
  input.addEventListener('blur', () => {
    if (core.acceptOnLeave(index, input.value, separator)) {
      input.removeAttribute('aria-invalid');
      return;
    }
    // Out of range: the beep alone, and the focus back into the field with its text as typed.
    input.setAttribute('aria-invalid', 'true');
    beep();
    setTimeout(() => input.focus(), 0);
  });
}

// --- lists -------------------------------------------------------------------------------------------------

function fillList(list, items, selected) {
  list.replaceChildren(...items.map((text) => new Option(text)));
  list.selectedIndex = selected;
}

// With a weather file open the site is the file's, as a user-defined site that cannot be changed.
function siteClick() {
  siteList.disabled = weatherFile !== null;
  if (weatherFile) {
    siteList.selectedIndex = 0;
    field(5).value = core.formatNumber(weatherFile.longitude, separator);
    field(6).value = core.formatNumber(weatherFile.latitude, separator);
    field(7).value = String(weatherFile.gmt);
    for (const index of [5, 6, 7])
      field(index).disabled = true;
    return;
  }
  const i = siteList.selectedIndex;
  if (i === 0) {
    for (const index of [5, 6, 7])
      field(index).value = '';
  } else if (i > 0) {
    const site = sites[i];
    field(5).value = core.formatNumber(site.longitude, separator);
    field(6).value = core.formatNumber(site.latitude, separator);
    field(7).value = String(site.gmt);
  }
  for (const index of [5, 6, 7])
    field(index).disabled = i !== 0;
}

function glazingClick() {
  const i = glazingList.selectedIndex;
  if (i === 0)
    field(9).value = '';
  else if (i > 0)
    field(9).value = String(GLAZING_PRESETS[i]);
  field(9).disabled = i !== 0;
}

// Every refill selects the default site again, as the window does.
function fillCityList() {
  siteList.fill(sites.map((site) => site.name), defaultSite);
  siteClick();
}

function takeSites(result, title) {
  if (result.unhandled)
    return unhandled(result.unhandled, title + result.unhandled.source);
  // The engine's sites {names, numbers} as the list's entries.
  const numbers = result.numbers;
  sites = new TextDecoder().decode(result.names).split('\n').slice(0, -1)
    .map((name, i) => ({ name, longitude: numbers[3 * i], latitude: numbers[3 * i + 1], gmt: numbers[3 * i + 2] }));
  defaultSite = result.defaultSite;
  fillCityList();
  return Promise.resolve();
}

// --- window type -------------------------------------------------------------------------------------------

const tabs = [1, 2, 3].map((n) => $(`tab${n}`));

function showPanel(panel) {
  if (panel === currentPanel)
    return;
  currentPanel = panel;
  for (const n of [1, 2, 3]) {
    $(`picWindowType${n}`).hidden = n !== panel;
    tabs[n - 1].setAttribute('aria-selected', String(n === panel));
    tabs[n - 1].tabIndex = n === panel ? 0 : -1;
  }
}

tabs.forEach((tab, i) => {
  tab.addEventListener('click', () => showPanel(i + 1));
  tab.addEventListener('keydown', (event) => {
    const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
    if (!step)
      return;
    const next = (i + step + 3) % 3;
    showPanel(next + 1);
    tabs[next].focus();
    event.preventDefault();
  });
});

// --- language ----------------------------------------------------------------------------------------------

const languageMenu = $('language');

function loadLanguage() {
  texts = core.texts(language);
  document.documentElement.lang = LANGUAGE_CODES[language - 1];
  for (const element of document.querySelectorAll('[data-text]'))
    element.textContent = shown(L(Number(element.dataset.text)));
  studyTexts = core.studyTexts(language);
  for (const element of document.querySelectorAll('[data-study]'))
    element.textContent = shown(studyTexts[element.dataset.study]);
  fillList(languageMenu, [104, 105, 106, 107, 108, 109].map((id) => shown(L(id))), language - 1);

  const period = periodList.selectedIndex;
  fillList(periodList, Array.from({ length: PERIOD_COUNT }, (_, i) => L(FIRST_PERIOD + i)),
    period < 0 ? 0 : period);
  const glazing = glazingList.selectedIndex;
  fillList(glazingList, GLAZING_ITEMS.map(L), glazing < 0 ? 1 : glazing);
  glazingClick();
  if (sites.length > 0)
    sites[0].name = L(177);
  fillCityList();
  drawOverview();
  fillReport();
}

function switchLanguage(next) {
  if (next === language)
    return;
  language = next;
  try {
    localStorage.setItem(LANGUAGE_KEY, String(language));
  } catch {
    // A browser that keeps nothing for the page still switches; the choice lasts until the page is left.
  }
  loadLanguage();
}

languageMenu.addEventListener('change', () => switchLanguage(languageMenu.selectedIndex + 1));

// --- calculation -------------------------------------------------------------------------------------------

function checkedValue(name) {
  return document.querySelector(`input[name="${name}"]:checked`)?.value ?? '0';
}

function currentInputs() {
  return {
    fields: Object.fromEntries(FIELDS.map((index) => [index, field(index).value])),
    windowType: currentPanel,
    band: checkedValue('band'),
    slope: checkedValue('slope'),
    period: periodList.selectedIndex,
    separator,
    language,
  };
}

async function calculateData(print) {
  const result = core.calculate(currentInputs(), true);
  if (result.unhandled) {
    await unhandled(result.unhandled, 'frmMain:CalculateData');
    return;
  }
  if (result.message) {
    await message(L(result.message));
    if (result.message === 146)
      field(0).focus();
    return;
  }
  $('lblResult').textContent = `${result.percent}%`;
  $('picResult').className = result.error ? 'failure' : 'success';
  lastRun = { inputs: reportInputs(), result, period: periodList.selectedIndex, windowType: currentPanel,
    weather: weatherFile };
  drawOverview();
  fillReport();
  if (result.error)
    await message(result.error.description);
  if (print)
    window.print();
}

const SVG = 'http://www.w3.org/2000/svg';

function svg(tag, attributes, text) {
  const element = document.createElementNS(SVG, tag);
  for (const [name, value] of Object.entries(attributes))
    element.setAttribute(name, value);
  if (text !== undefined)
    element.textContent = text;
  return element;
}

// "69%", "69% !" when a model's message came with it, "–" when there is no figure.
const periodText = (period) => (period.fraction === null ? '–' : `${period.percent}%${period.error ? ' !' : ''}`);
const periodNames = () => Array.from({ length: PERIOD_COUNT }, (_, i) => L(FIRST_PERIOD + i).trim());

// The twelve months as bars on a 0 to 100 % scale, red where a model left a message, the year as a dashed
// line across them: the window's overview and report chart, drawn into the chart's view box.
function drawMonthChart(chart, periods) {
  const [, , width, height] = chart.getAttribute('viewBox').split(' ').map(Number);
  const label = Math.max(9, Math.min(height * 0.07, (width / 12) * 0.42));
  const axis = label * 2.6;
  const plot = { left: axis, top: label * 0.6, width: width - axis - label * 0.3, height: height - label * 2.2 };
  const yOf = (percent) => plot.top + plot.height - (plot.height * percent) / 100;
  const parts = [];
  for (let p = 0; p <= 100; p += 25) {
    parts.push(svg('line', { x1: plot.left, x2: plot.left + plot.width, y1: yOf(p), y2: yOf(p),
      class: p === 0 ? 'axis' : 'grid' }));
    parts.push(svg('text', { x: axis - label * 0.3, y: yOf(p), class: 'scale' }, `${p}%`));
  }
  const slot = plot.width / 12;
  const months = studyTexts.monthShort.split('|');
  const names = periodNames();
  for (let m = 1; m <= 12; ++m) {
    const period = periods[m];
    const x = plot.left + slot * (m - 1);
    if (period.fraction !== null) {
      const bar = svg('rect', { x: x + slot * 0.15, y: yOf(period.percent), width: slot * 0.7,
        height: plot.top + plot.height - yOf(period.percent), class: period.error ? 'bar failure' : 'bar success' });
      bar.append(svg('title', {}, `${names[m]}: ${periodText(period)}`));
      parts.push(bar);
    }
    parts.push(svg('text', { x: x + slot / 2, y: plot.top + plot.height + label * 1.1, class: 'month' }, months[m - 1]));
  }
  if (periods[0].fraction !== null) {
    const y = yOf(periods[0].percent);
    parts.push(svg('line', { x1: plot.left, x2: plot.left + plot.width, y1: y, y2: y, class: 'year',
      'stroke-width': Math.max(1, label * 0.15) }));
    // The label above the line, or below it when the line runs along the top.
    parts.push(svg('text', { x: plot.left + plot.width - label * 0.2, y: periods[0].percent > 90 ? y + label : y - label * 0.4,
      class: 'year' }, `${studyTexts.chartYear} ${periods[0].percent}%`));
  }
  chart.style.setProperty('--label', `${label * 0.8}px`);
  chart.replaceChildren(...parts);
  chart.setAttribute('aria-label', periods.map((period, i) => `${names[i]}: ${periodText(period)}`).join(', '));
}

function drawOverview() {
  $('overview').hidden = !lastRun;
  if (lastRun)
    drawMonthChart($('overviewChart'), lastRun.result.periods);
  // Both skies of the file still open; a closed file's stay in the print-out of its run only.
  const skies = lastRun?.weather && lastRun.weather === weatherFile ? lastRun.result.skies : null;
  $('skies').hidden = !skies;
  if (skies) {
    $('skiesTitle').textContent = weatherTitle(lastRun.weather);
    fillSkies($('skiesTable'), skies);
  }
}

// --- both skies --------------------------------------------------------------------------------------------

const autonomyText = (period) => (period.autonomy === null ? '–' : `${period.autonomyPercent}%`);

function weatherTitle(file) {
  const number = (value) => core.formatNumber(value, separator);
  return `${studyTexts.skyWeather}: ${file.name} – ${file.city}, ${labelOf('txtInput5')} ${number(file.longitude)}°, ` +
    `${labelOf('txtInput6')} ${number(file.latitude)}°, ${labelOf('txtInput7')} ${file.gmt} h`;
}

// The year and its months under the standard sky and under the weather file's, saving and autonomy of each.
function fillSkies(table, { standard, weather }) {
  const skyHeader = row(['', studyTexts.skyStandard, studyTexts.skyWeather], true);
  for (const cell of [...skyHeader.cells].slice(1))
    cell.colSpan = 2;
  const figures = [studyTexts.columnSaving, studyTexts.columnAutonomy];
  const names = periodNames();
  table.replaceChildren(skyHeader, row([studyTexts.columnPeriod, ...figures, ...figures], true),
    ...names.map((name, i) => row([name, periodText(standard[i]), autonomyText(standard[i]),
      periodText(weather[i]), autonomyText(weather[i])])));
}

// --- the print-out -----------------------------------------------------------------------------------------

const labelOf = (id) => shown(document.querySelector(`label[for="${id}"]`)?.textContent ?? $(id).textContent)
  .replace(/:\s*$/, '');
const unitOf = (index) => field(index).parentElement.querySelector('.unit')?.textContent ?? '';
const tickedOf = (name) => document.querySelector(`input[name="${name}"]:checked`)?.parentElement.textContent.trim() ?? '';
const chosen = (list) => list.options[list.selectedIndex]?.text ?? '';

// Every input of the calculation as the window's report lists it: label, value, unit; the window type's own
// fields only.
function reportInputs() {
  const lines = [];
  const put = (index) => lines.push([labelOf(`txtInput${index}`), field(index).value, unitOf(index)]);
  const choice = (label, value) => lines.push([label, value, '']);
  [0, 1].forEach(put);
  choice(shown(L(140)), chosen(periodList));
  [2, 3, 4].forEach(put);
  choice(studyTexts.reportSite, chosen(siteList));
  [5, 6, 7].forEach(put);
  choice(labelOf('lstInput2'), chosen(glazingList));
  put(9);
  choice(studyTexts.reportWindowType, tabs[currentPanel - 1].textContent);
  if (currentPanel === 1) {
    choice(studyTexts.reportBand, tickedOf('band'));
    put(11);
  } else if (currentPanel === 2) {
    [10, 12, 13].forEach(put);
  } else {
    [14, 15, 16].forEach(put);
    choice(shown($('lblInput17').textContent), tickedOf('slope'));
  }
  return lines;
}

function row(cells, header = false) {
  const tr = document.createElement('tr');
  for (const text of cells)
    tr.append(Object.assign(document.createElement(header ? 'th' : 'td'), { textContent: text }));
  return tr;
}

// The report of the last calculation, its inputs as they were then.
function fillReport() {
  if (!lastRun)
    return;
  const { inputs, result, period, windowType } = lastRun;
  $('reportDate').textContent = `${studyTexts.reportDate}: ${new Date().toLocaleDateString('sv')}`;
  $('reportVersion').textContent = `${studyTexts.reportVersion}: ${APP_TITLE} ${core.version()}`;
  $('reportInputs').replaceChildren(...inputs.map((line) => row(line)));
  $('reportSketch').replaceChildren($(`picWindowType${windowType}`).querySelector('svg').cloneNode(true));
  $('reportResultLabel').textContent = `${studyTexts.reportResult} (${periodNames()[period]})`;
  $('reportResult').textContent = `${result.percent}%`;
  $('reportResult').className = result.error ? 'failure' : 'success';
  $('reportMessage').textContent = result.error ? lines(result.error.description) : '';
  const names = periodNames();
  $('reportMonths').replaceChildren(row([studyTexts.columnPeriod, studyTexts.columnSaving], true),
    ...result.periods.map((p, i) => row([names[i], periodText(p)])));
  drawMonthChart($('reportChart'), result.periods);
  $('report').classList.toggle('with-skies', Boolean(result.skies));
  $('reportSkies').hidden = $('reportSkiesTitle').hidden = !result.skies;
  if (result.skies) {
    $('reportSkiesTitle').textContent = weatherTitle(lastRun.weather);
    fillSkies($('reportSkies'), result.skies);
  }
}

// Printed later, the report carries the day it is printed.
window.addEventListener('beforeprint', fillReport);

$('cmdCalculate').addEventListener('click', () => calculateData(false));
$('cmdPrint').addEventListener('click', () => calculateData(true));

// --- site and room files -----------------------------------------------------------------------------------

const limits = core.fileLimits();

// The chosen file as {name, size, bytes}, read in the background and no further than one byte past what its
// reader takes, which then refuses it as the window's does; null when none was chosen. A reader that takes the
// size refuses a larger file before any of it is read.
async function readChosenFile(input, limit, bySize = false) {
  const file = input.files[0];
  input.value = '';
  if (!file)
    return null;
  const read = bySize && file.size > limit ? 0 : limit + 1;
  return { name: file.name, size: file.size, bytes: new Uint8Array(await file.slice(0, read).arrayBuffer()) };
}

// Site files are read by the batch engine in a worker of its own, kept for the next file, so that the page stays
// usable; the page takes over the list it gives. Answers come in the order the files were chosen.
let sitesWorker = null;
const sitesAsked = [];
function readSitesAside(file) {
  if (!sitesWorker) {
    sitesWorker = new Worker(BATCH_WORKER.url, { type: BATCH_WORKER.type });
    sitesWorker.onmessage = ({ data }) => sitesAsked.shift()(data.sites);
    sitesWorker.onerror = (event) => {
      sitesWorker.terminate();
      sitesWorker = null;
      for (const answer of sitesAsked.splice(0))
        answer({ failed: event.message || studyTexts.pageEngineMissing });
    };
  }
  return new Promise((resolve) => {
    sitesAsked.push(resolve);
    sitesWorker.postMessage({ sites: file, language });
  });
}

$('geoFile').addEventListener('change', async (event) => {
  const file = event.target.files[0];
  event.target.value = '';
  if (!file)
    return;
  const packed = await readSitesAside(file);
  if (packed.failed !== undefined)
    await message(packed.failed);
  else
    await takeSites(packed, 'frmMain:OpenGeoFile;');
});

function setChecked(name, value) {
  const option = document.querySelector(`input[name="${name}"][value="${value}"]`);
  if (option)
    option.checked = true;
}

// A room as the window opens it: the texts, the lists (whose clicks fill the site and glazing fields), the
// window type and the options; the site's typed coordinates and the typed transmittance only where the
// user-defined entries are chosen.
function showRoom(room) {
  const put = (index) => { field(index).value = room.fields[index]; };
  [0, 1, 2, 3, 4].forEach(put);
  periodList.selectedIndex = room.period;
  const site = sites.findIndex((entry, i) => i > 0 && entry.name === room.siteName);
  siteList.selectedIndex = Math.max(site, 0);
  siteClick();
  if (siteList.selectedIndex === 0 && !weatherFile)
    [5, 6, 7].forEach(put);
  glazingList.selectedIndex = room.glazing;
  glazingClick();
  if (room.glazing === 0)
    put(9);
  showPanel(room.windowType);
  setChecked('band', room.band);
  [11, 10, 12, 13, 14, 15, 16].forEach(put);
  setChecked('slope', room.slope);
}

// As the window opens a room: the fields filled as if typed, then calculated; a refused file is named with
// what is wrong, and the fields stay as they were.
$('roomFile').addEventListener('change', async (event) => {
  const file = await readChosenFile(event.target, limits.room);
  if (!file)
    return;
  const room = core.openRoom(file.bytes, separator, language);
  if (room.fault) {
    await message(`${studyTexts.messageOpenFailed}\n${file.name}\n\n${room.fault}`);
    return;
  }
  showRoom(room);
  await calculateData(false);
});

$('saveRoom').addEventListener('click', async () => {
  const saved = core.roomText({ ...currentInputs(), glazing: glazingList.selectedIndex,
    siteName: siteList.selectedIndex > 0 ? sites[siteList.selectedIndex].name : '' });
  if (saved.invalidField !== undefined) {
    await message(L(146));
    field(saved.invalidField).focus();
    return;
  }
  // A room that no front end could open again (a value its field refuses on leaving) is not kept.
  if (saved.fault) {
    await message(saved.fault);
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([saved.text], { type: 'application/json' }));
  link.download = 'room.kvroom';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
});

// --- the weather file --------------------------------------------------------------------------------------

// Read in the core, in the browser; a refused file is named with the reader's error, and the page stays as it
// was, the file open before it included.
$('weatherFile').addEventListener('change', async (event) => {
  const file = await readChosenFile(event.target, limits.weather, true);
  if (!file)
    return;
  const site = core.openWeather(file);
  if (site.unhandled) {
    await message(`${studyTexts.messageWeatherFailed}\n\n${site.unhandled.description}`);
    return;
  }
  weatherFile = { name: file.name, city: site.city, longitude: site.longitude, latitude: site.latitude, gmt: site.gmt };
  $('closeWeather').hidden = false;
  siteClick();
  await calculateData(false);
});

// Closed, the file's site stays as a user-defined site that can be typed again.
$('closeWeather').addEventListener('click', async () => {
  core.closeWeather();
  weatherFile = null;
  $('closeWeather').hidden = true;
  siteList.disabled = false;
  for (const index of [5, 6, 7])
    field(index).disabled = false;
  await calculateData(false);
});

// --- whole buildings --------------------------------------------------------------------------------------

// The batch engine reads the file in a worker, a piece at a time; the result comes back in pieces, folded into
// blobs as it comes so that it is held once. Cancelling ends the worker.
let batchWorker = null;
let batchLink = null;
// The worker's script beside the page (the one-file page starts it from its own text).
const BATCH_WORKER = { url: 'batch.js', type: 'module' };

function endBatch() {
  batchWorker?.terminate();
  batchWorker = null;
  $('batchProgress').hidden = $('batchCancel').hidden = true;
}

function showBatch(summary, file, blobs) {
  endBatch();
  if (summary.unhandled) {
    unhandled(summary.unhandled, summary.unhandled.source);
    return;
  }
  if (summary.why !== undefined) {
    message(`${file.name}\n\n${summary.why}`);
    return;
  }
  $('batchSummary').textContent = `${file.name}: ${summary.rows} ${studyTexts.batchRows}, ${summary.failed} ` +
    `${studyTexts.batchErrors}${summary.warnings ? `\n${summary.warnings}` : ''}`;
  $('batchRows').replaceChildren(row(summary.columns, true), ...summary.first.map((cells) => row(cells)));
  batchLink = URL.createObjectURL(new Blob(blobs, { type: 'text/csv' }));
  const download = $('batchDownload');
  download.href = batchLink;
  download.download = file.name.replace(/(\.[^.]*)?$/, '-result.csv');
  download.hidden = false;
}

function runBatch(file) {
  endBatch();
  if (batchLink)
    URL.revokeObjectURL(batchLink);
  batchLink = null;
  $('batchDownload').hidden = true;
  $('batchSummary').textContent = '';
  $('batchRows').replaceChildren();
  $('batchProgress').value = 0;
  $('batchProgress').hidden = $('batchCancel').hidden = false;
  const blobs = [];
  let pieces = [], held = 0;
  const fold = () => {
    blobs.push(new Blob(pieces));
    pieces = [];
    held = 0;
  };
  batchWorker = new Worker(BATCH_WORKER.url, { type: BATCH_WORKER.type });
  batchWorker.onmessage = ({ data }) => {
    if (data.summary) {
      fold();
      showBatch(data.summary, file, blobs);
      return;
    }
    pieces.push(data.piece);
    held += data.piece.length;
    if (held >= 1 << 20)
      fold();
    $('batchProgress').value = data.read;
  };
  batchWorker.onerror = (event) => {
    endBatch();
    message(event.message || studyTexts.pageEngineMissing);
  };
  batchWorker.postMessage({ file, language });
}

$('batchFile').addEventListener('change', (event) => {
  const file = event.target.files[0];
  event.target.value = '';
  if (file)
    runBatch(file);
});
$('batchCancel').addEventListener('click', endBatch);

// --- about -------------------------------------------------------------------------------------------------

// The window's About dialog, built in the page's language each time it opens; its two buttons speak English.
function wireAbout() {
  const box = $('frmAbout');
  $('mnuHelpCmd0').addEventListener('click', () => {
    $('aboutCaption').textContent = L(181) + APP_TITLE;
    $('lblVersion').textContent = L(182) + core.version();
    $('txtDescription').value = lines(L(183));
    $('lblDisclaimer').textContent = L(184);
    box.showModal();
    $('txtDescription').scrollTop = 0;
    $('cmdOK').focus();
  });
  // No page can start the system's information program.
  $('cmdSysInfo').addEventListener('click', () => message('System Information Is Unavailable At This Time'));
}

// --- start -------------------------------------------------------------------------------------------------

FIELDS.forEach(wireField);
siteList.addEventListener('change', siteClick);
glazingList.addEventListener('change', glazingClick);
language = LANGUAGE_CODES.indexOf(document.documentElement.lang) + 1;
sites = [{ name: '', longitude: 0, latitude: 0, gmt: 0 }];
loadLanguage();
await takeSites(core.builtInSites(language), 'frmMain:OpenGeoFile;');
wireAbout();
await calculateData(false);
document.body.dataset.ready = 'true';
