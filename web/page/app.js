// The page's behaviour: it wires the fields, lists and buttons to the WebAssembly core and shows what the
// core answers. Every number, text, site and check comes from the core.
import createKorvane from './korvane.mjs';

const core = await createKorvane();

const LANGUAGE_KEY = 'korvane-energy.language';
const LANGUAGE_CODES = ['de', 'en', 'fr', 'it', 'nl', 'es'];
const APP_TITLE = 'KORVANE Energy';
const FIELDS = [0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16];
const GLAZING_ITEMS = [177, 174, 175, 176];
const GLAZING_PRESETS = [null, 80, 50, 30];
const FIRST_PERIOD = 161; // "Whole year", then January to December
const PERIOD_COUNT = 13;

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
let lastPeriods = null;

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

function siteClick() {
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
  fillList(siteList, sites.map((site) => site.name), defaultSite);
  siteClick();
}

function takeSites(result, title) {
  if (result.unhandled)
    return unhandled(result.unhandled, title + result.unhandled.source);
  sites = result.sites;
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

function firstLanguage() {
  let stored = 0;
  try {
    stored = Number(localStorage.getItem(LANGUAGE_KEY));
  } catch {
    stored = 0;
  }
  if (stored >= 1 && stored <= 6)
    return stored;
  for (const tag of navigator.languages ?? [navigator.language]) {
    const found = LANGUAGE_CODES.indexOf(String(tag).slice(0, 2).toLowerCase());
    if (found >= 0)
      return found + 1;
  }
  return 1;
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
  lastPeriods = result.periods;
  drawOverview();
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

// Thirteen bars, the year first; a period whose calculation raised an error is drawn red.
function drawOverview() {
  const chart = $('overviewChart');
  $('overview').hidden = !lastPeriods;
  if (!lastPeriods)
    return;
  const names = Array.from({ length: PERIOD_COUNT }, (_, i) => L(FIRST_PERIOD + i).trim());
  const labels = [studyTexts.chartYear, ...studyTexts.monthShort.split('|')];
  const top = 20;
  const height = 140;
  const step = 560 / PERIOD_COUNT;
  const parts = [svg('line', { x1: 0, y1: top + height, x2: 560, y2: top + height, class: 'axis' })];
  lastPeriods.forEach((period, i) => {
    const h = (height * Math.max(0, Math.min(100, period.percent))) / 100;
    const x = i * step + 6;
    const bar = svg('rect', { x, y: top + height - h, width: step - 12, height: h,
      class: period.error ? 'bar failure' : 'bar success' });
    bar.append(svg('title', {}, `${names[i]}: ${period.percent}%`));
    const middle = x + (step - 12) / 2;
    const label = svg('text', { x: middle, y: top + height + 16, class: 'label' }, labels[i]);
    parts.push(bar, svg('text', { x: middle, y: top + height - h - 4, class: 'value' }, `${period.percent}%`),
      label);
  });
  chart.replaceChildren(...parts);
  chart.setAttribute('aria-label',
    lastPeriods.map((period, i) => `${names[i]}: ${period.percent}%`).join(', '));
}

$('cmdCalculate').addEventListener('click', () => calculateData(false));
$('cmdPrint').addEventListener('click', () => calculateData(true));

// --- site and room files -----------------------------------------------------------------------------------

async function readChosenFile(input) {
  const file = input.files[0];
  input.value = '';
  return file ? new Uint8Array(await file.arrayBuffer()) : null;
}

$('geoFile').addEventListener('change', async (event) => {
  const bytes = await readChosenFile(event.target);
  if (bytes)
    await takeSites(core.readSites(bytes, language), 'frmMain:OpenGeoFile;');
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
  if (siteList.selectedIndex === 0)
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

$('roomFile').addEventListener('change', async (event) => {
  const bytes = await readChosenFile(event.target);
  if (!bytes)
    return;
  const room = core.openRoom(bytes, separator, language);
  if (room.fault)
    await message(room.fault);
  else
    showRoom(room);
});

$('saveRoom').addEventListener('click', async () => {
  const saved = core.roomText({ ...currentInputs(), glazing: glazingList.selectedIndex,
    siteName: siteList.selectedIndex > 0 ? sites[siteList.selectedIndex].name : '' });
  if (saved.invalidField !== undefined) {
    await message(L(146));
    field(saved.invalidField).focus();
    return;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([saved.text], { type: 'application/json' }));
  link.download = 'room.kvroom';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
});

// --- start -------------------------------------------------------------------------------------------------

FIELDS.forEach(wireField);
siteList.addEventListener('change', siteClick);
glazingList.addEventListener('change', glazingClick);
language = firstLanguage();
sites = [{ name: '', longitude: 0, latitude: 0, gmt: 0 }];
loadLanguage();
await takeSites(core.readSites(undefined, language), 'frmMain:OpenGeoFile;');
await calculateData(false);
document.body.dataset.ready = 'true';
