// Pixtrel Studio's page: a form made from the command's own tables, the
// texts drawn as the display draws them at each change, and the export.
'use strict';

const byRole = (role) => document.querySelector(`[data-role="${role}"]`);
const optionControls = (name) => [...document.querySelectorAll(`[data-option="${name}"]`)];

/// Options placed by hand in the form, by their names; the others go where their rows say.
const kPlaced = ['--data-dir', '--font', '--face', '--format', '--max-width', '--png-colours', '--png-scale'];
/// The display types' colours, ink and background; the monochrome OLED's are the command's own.
const kDisplayColours = { grey: ['000000', 'c8c8c8'] };

let table = { options: [], formats: [] };
let fontList = { shipped_sets: [], folder_sets: [], files: [], installed: [] };

function element(tag, properties = {}, children = []) {
  const made = Object.assign(document.createElement(tag), properties);
  for (const child of children) made.append(child);
  return made;
}

async function call(path, body) {
  const init = body === undefined ? {} : {
    method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body),
  };
  const response = await fetch(path, init);
  const answer = await response.json().catch(() => ({ error: `${path}: no answer it could read` }));
  if (!response.ok) answer.failed = true;
  return answer;
}

function optionRow(name) { return table.options.find((option) => option.name === name); }
function chosenFormat() {
  const name = optionControls('--format')[0]?.value || table.formats[0].name;
  return table.formats.find((format) => format.name === name) || table.formats[0];
}

/// The control of `option`: a choice, a number, a flag or a value, named by its data-option.
function control(option) {
  let input;
  if (option.choices.length > 0) {
    input = element('select');
    input.append(element('option', { value: '', textContent: `(${option.default || 'default'})` }));
    for (const choice of option.choices)
      input.append(element('option', { value: choice.name, textContent: choice.what ? `${choice.name}: ${choice.what}` : choice.name }));
  } else if (option.argument === null) {
    input = element('input', { type: 'checkbox' });
  } else if (option.high > 0) {
    input = element('input', { type: 'number', min: option.low, max: option.high, placeholder: option.default || '' });
  } else {
    input = element('input', { placeholder: option.default || option.takes || option.argument });
  }
  input.dataset.option = option.name;
  input.title = `${option.help}${option.takes ? ` (${option.takes})` : ''}`;
  const label = element('label', { title: input.title });
  if (input.type === 'checkbox') {
    label.className = 'check';
    label.append(input, `${option.name}`);
  } else {
    label.append(`${option.name} ${option.argument}`, input);
  }
  label.dataset.for = option.name;
  return label;
}

function buildForm() {
  const setChoices = element('select');
  setChoices.dataset.option = '--data-dir';
  setChoices.append(element('option', { value: '', textContent: 'the 16-pixel set' }));
  for (const set of fontList.shipped_sets) setChoices.append(element('option', { value: set, textContent: `${set} (shipped)` }));
  for (const set of fontList.folder_sets) setChoices.append(element('option', { value: set, textContent: `${set} (in the folder)` }));
  const setRow = optionRow('--data-dir');
  setChoices.title = setRow.help;
  byRole('set-panel').append(element('label', {}, ['Font set (without a font)', setChoices]));
  addFontRow();
  const formats = element('select');
  formats.dataset.option = '--format';
  for (const format of table.formats)
    formats.append(element('option', { value: format.name, textContent: format.name }));
  byRole('format-panel').append(element('label', {}, ['--format', formats]));
  for (const option of table.options) {
    if (option.action || kPlaced.includes(option.name)) continue;
    const where = option.file === 'writes' ? 'outputs' : option.needs_font ? 'font-options' : 'options';
    byRole(where).append(control(option));
  }
  const scale = control(optionRow('--png-scale'));
  byRole('outputs').append(scale);
  const size = optionControls('--size')[0];
  if (size) size.value = 16;
}

/// A --font and its --face: a font file of the folder with its faces, or an installed font by name.
function addFontRow() {
  const font = element('select');
  font.dataset.option = '--font';
  font.title = optionRow('--font').help;
  font.append(element('option', { value: '', textContent: byRole('fonts').children.length ? '(none)' : '(the font set)' }));
  const files = element('optgroup', { label: 'Font files of the folder' });
  const seen = new Set();
  for (const face of fontList.files) {
    if (seen.has(face.path)) continue;
    seen.add(face.path);
    files.append(element('option', { value: face.path, textContent: `${face.path}: ${face.name}` }));
  }
  const installed = element('optgroup', { label: 'Installed fonts' });
  const names = new Set();
  for (const face of fontList.installed) {
    if (names.has(face.name)) continue;
    names.add(face.name);
    const scripts = [face.hanzi && '中', face.kana && 'あ', face.hangul && '한'].filter(Boolean).join('');
    installed.append(element('option', { value: face.name, textContent: scripts ? `${face.name}  ${scripts}` : face.name }));
  }
  font.append(files, installed);
  const face = element('select');
  face.dataset.option = '--face';
  face.title = optionRow('--face').help;
  const faceLabel = element('label', {}, ['--face', face]);
  faceLabel.hidden = true;
  font.addEventListener('change', () => {
    const faces = fontList.files.filter((entry) => entry.path === font.value);
    face.replaceChildren(...faces.map((entry) => element('option', { value: String(entry.face), textContent: `${entry.face}: ${entry.name}` })));
    faceLabel.hidden = faces.length < 2;
  });
  byRole('fonts').append(element('div', { className: 'row' }, [element('label', {}, ['--font', font]), faceLabel]));
}

/// Shows each option only where the format and the font take it, and the depths the format draws.
function showWhatApplies() {
  const format = chosenFormat();
  byRole('format-help').textContent = `${format.help} (${format.font ? 'a font' : 'glyphs in text order'}; writes .${[format.extension, ...format.companions].join(', .')})`;
  const hasFont = optionControls('--font').some((font) => font.value !== '');
  for (const label of document.querySelectorAll('label[data-for]')) {
    const option = optionRow(label.dataset.for);
    const takenByFormat = (format.abilities & option.needs_ability) === option.needs_ability;
    label.hidden = !takenByFormat || (option.needs_font && !hasFont);
  }
  byRole('set-panel').hidden = hasFont;
  const compress = optionControls('--compress')[0];
  const depths = new Set([...format.depths, ...(compress?.checked ? format.compressed_depths : [])]);
  for (const bpp of optionControls('--bpp')) {
    for (const choice of bpp.options) choice.hidden = choice.value !== '' && !depths.has(Number(choice.value));
    if (bpp.selectedOptions[0]?.hidden) bpp.value = '';
  }
  const type = byRole('display-type').value;
  for (const colour of document.querySelectorAll('label.colour')) colour.hidden = type !== 'colour';
  const colours = type === 'colour' ? [byRole('ink').value, byRole('background').value].map((c) => c.slice(1)) : kDisplayColours[type];
  optionControls('--png-colours')[0].value = colours ? colours.join(',') : '';
}

/// The command's words the form says, in its order; the files written among them when `outputs`.
function formArguments(outputs) {
  const words = [];
  for (const input of document.querySelectorAll('[data-option]')) {
    if (input.closest('[hidden]') || (!outputs && input.closest('[data-role="outputs"]'))) continue;
    if (input.type === 'checkbox') {
      if (input.checked) words.push(input.dataset.option);
    } else if (input.value !== '') {
      words.push(input.dataset.option, input.value);
    }
  }
  return words;
}

function chosenTexts() {
  return [...byRole('texts').querySelectorAll('input:checked')].map((box) => box.value);
}

function quoted(word) {
  return /^[\w@%+=:,./-]+$/.test(word) ? word : `'${word.replace(/'/g, "'\\''")}'`;
}

function showCommand() {
  byRole('command').textContent = ['pixtrel-extract', ...formArguments(true), ...chosenTexts()].map(quoted).join(' ');
  byRole('cmake').textContent = '';
}

let drawing = false;
let changedWhileDrawing = false;

/// Draws every text anew: the typed one and each chosen one, a picture each;
/// changes made while it draws are drawn together once it is done.
async function preview() {
  showWhatApplies();
  showCommand();
  if (drawing) {
    changedWhileDrawing = true;
    return;
  }
  drawing = true;
  const pictures = byRole('pictures');
  pictures.dataset.state = 'drawing';
  do {
    changedWhileDrawing = false;
    await drawTexts();
  } while (changedWhileDrawing);
  drawing = false;
  pictures.dataset.state = 'drawn';
}

async function drawTexts() {
  const args = [...formArguments(false), '--png-scale', '1', '--missing'];
  const jobs = [];
  if (byRole('text').value !== '') jobs.push({ caption: 'The typed text', body: { args, text: byRole('text').value, json: true } });
  for (const path of chosenTexts()) jobs.push({ caption: path, body: { args: [...args, path], json: true } });
  try {
    showPictures(jobs, await Promise.all(jobs.map((job) => call('/api/preview', job.body))));
  } catch (error) {
    byRole('messages').textContent = String(error);
  }
}

function showPictures(jobs, answers) {
  const zoom = Number(byRole('zoom').value);
  const figures = [];
  const messages = [];
  jobs.forEach((job, index) => {
    const answer = answers[index];
    const figure = element('figure', {}, [element('figcaption', { textContent: job.caption })]);
    figures.push(figure);
    if (answer.failed) {
      figure.append(element('pre', { className: 'failed', textContent: answer.error }));
      return;
    }
    if (answer.messages) messages.push(`${job.caption}:\n${answer.messages}`);
    const image = element('img', { src: `data:image/png;base64,${answer.png}`, alt: `${job.caption} as the display draws it` });
    image.dataset.role = 'preview';
    const canvas = element('canvas');
    canvas.dataset.role = 'zoomed';
    figure.append(image, canvas);
    const picture = { map: answer.map, zoom, canvas };
    image.addEventListener('load', () => drawZoomed(image, picture));
    canvas.addEventListener('click', (event) => inspect(picture, event));
  });
  byRole('pictures').replaceChildren(...figures);
  byRole('messages').textContent = messages.join('\n');
}

/// The picture at the zoom, the display's frame over it, each placeholder marked.
function drawZoomed(image, { map, zoom, canvas }) {
  const width = Number(optionControls('--max-width')[0].value) || image.naturalWidth;
  const height = Number(byRole('height').value) || image.naturalHeight;
  canvas.width = Math.max(image.naturalWidth, width + 1) * zoom;
  canvas.height = Math.max(image.naturalHeight, height + 1) * zoom;
  const context = canvas.getContext('2d');
  context.imageSmoothingEnabled = false;
  context.drawImage(image, 0, 0, image.naturalWidth * zoom, image.naturalHeight * zoom);
  context.fillStyle = 'rgba(120, 130, 150, 0.45)';  // Past the display's bottom.
  context.fillRect(0, height * zoom, canvas.width, canvas.height - height * zoom);
  context.strokeStyle = '#1f6feb';
  context.setLineDash([4, 3]);
  context.strokeRect(0.5, 0.5, width * zoom - 1, height * zoom - 1);
  context.setLineDash([]);
  context.fillStyle = '#ff2d55';
  for (const [line, x, , index] of map.placed) {
    const glyph = map.glyphs[index];
    if (glyph.kind !== 'placeholder') continue;
    const bottom = (line + 1) * map.line_height * zoom;
    context.fillRect(x * zoom, bottom - Math.max(2, zoom / 2), Math.max(glyph.w, 2) * zoom, Math.max(2, zoom / 2));
  }
}

/// Shows the glyph under the click: its levels, its character and the font it came from.
function inspect({ map, zoom }, event) {
  const x = Math.floor(event.offsetX / zoom), y = Math.floor(event.offsetY / zoom);
  const hit = map.placed.find(([line, left, top, index]) => {
    const glyph = map.glyphs[index];
    const glyphTop = line * map.line_height + top;
    return x >= left && x < left + glyph.w && y >= glyphTop && y < glyphTop + glyph.h;
  });
  const inspector = byRole('inspector');
  if (!hit) {
    inspector.hidden = true;
    return;
  }
  const glyph = map.glyphs[hit[3]];
  const most = (1 << map.bpp) - 1;
  const rows = [];
  for (let row = 0; row < glyph.h; ++row) {
    const cells = [];
    for (let column = 0; column < glyph.w; ++column) {
      const level = parseInt(glyph.levels.substr((row * glyph.w + column) * 2, 2), 16);
      const shade = Math.round(255 - (255 * level) / most);
      const cell = element('td', { textContent: map.bpp > 1 && level ? level.toString(16) : '' });
      cell.style.background = `rgb(${shade}, ${shade}, ${shade})`;
      cell.style.color = shade < 128 ? '#fff' : '#000';
      cells.push(cell);
    }
    rows.push(element('tr', {}, cells));
  }
  const code = glyph.code_point.toString(16).toUpperCase().padStart(4, '0');
  inspector.replaceChildren(element('table', {}, rows), element('div', {}, [
    element('div', { textContent: `${String.fromCodePoint(glyph.code_point)}  U+${code}` }),
    element('div', { textContent: `${glyph.kind === 'placeholder' ? 'no glyph: the placeholder' : glyph.font}` }),
    element('div', { textContent: `${glyph.w} × ${glyph.h} pixels, ${map.bpp} bit${map.bpp > 1 ? 's' : ''} a pixel, at x ${hit[1]} of line ${hit[0] + 1}` }),
  ]));
  inspector.dataset.codePoint = glyph.code_point;
  inspector.hidden = false;
}

async function exportFiles() {
  const sources = chosenTexts();
  const exported = byRole('exported');
  if (sources.length === 0) {
    exported.textContent = 'Choose a text of the folder to export (save a typed text first).';
    return;
  }
  const answer = await call('/api/export', { args: [...formArguments(true), ...sources] });
  if (answer.failed) {
    exported.replaceChildren(element('pre', { className: 'failed', textContent: answer.error }));
    return;
  }
  exported.replaceChildren(element('ul', {}, answer.files.map((file) => element('li', { textContent: `${file.path} (${file.bytes} bytes)` }))));
  byRole('command').textContent = answer.command;
  byRole('cmake').textContent = answer.cmake;
  byRole('messages').textContent = answer.messages;
}

async function loadTexts(checked) {
  const answer = await call('/api/texts');
  checked ??= answer.texts.slice(0, 1);  // The first text, drawn at once.
  byRole('folder').textContent = answer.folder;
  byRole('texts').replaceChildren(...answer.texts.map((path) => {
    const box = element('input', { type: 'checkbox', value: path, checked: checked.includes(path) });
    return element('label', { className: 'check' }, [box, path]);
  }));
}

async function saveText() {
  const path = byRole('save-name').value.trim();
  const result = byRole('save-result');
  if (path === '') {
    result.textContent = 'Name the text first (name.txt).';
    return;
  }
  const answer = await call('/api/texts', { path, text: byRole('text').value });
  result.textContent = answer.failed ? answer.error : `Saved as ${answer.path}.`;
  if (answer.failed) return;
  byRole('text').value = '';
  await loadTexts([...chosenTexts(), answer.path]);
  preview();
}

/// The dropped file's text: UTF-8 or UTF-16 by its mark, UTF-8 when it reads
/// so, else in the encoding --encoding names (CP936 unless it names one).
function decoded(bytes) {
  const labels = { cp936: 'gbk', gbk: 'gbk', gb2312: 'gbk', gb18030: 'gb18030', big5: 'big5', cp950: 'big5', cp949: 'euc-kr', 'euc-kr': 'euc-kr', shift_jis: 'shift_jis', cp932: 'shift_jis', 'utf-16le': 'utf-16le', 'utf-16be': 'utf-16be' };
  if (bytes[0] === 0xff && bytes[1] === 0xfe) return new TextDecoder('utf-16le').decode(bytes);
  if (bytes[0] === 0xfe && bytes[1] === 0xff) return new TextDecoder('utf-16be').decode(bytes);
  try {
    return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
  } catch {
    const named = (optionControls('--encoding')[0]?.value || '').toLowerCase();
    return new TextDecoder(labels[named] || 'gbk').decode(bytes);
  }
}

function takeDrops() {
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.addEventListener('drop', async (event) => {
    event.preventDefault();
    document.body.classList.remove('dropping');
    const file = event.dataTransfer.files[0];
    if (!file) return;
    byRole('text').value = decoded(new Uint8Array(await file.arrayBuffer()));
    byRole('save-name').value = file.name;
    preview();
  });
}

async function start() {
  [table, fontList] = await Promise.all([call('/api/options'), call('/api/fonts'), loadTexts()]);
  buildForm();
  const form = byRole('form');
  form.addEventListener('input', preview);
  form.addEventListener('change', (event) => {
    if (event.target.dataset.option === '--font') preview();
  });
  byRole('zoom').addEventListener('change', preview);
  byRole('add-font').addEventListener('click', () => {
    addFontRow();
    showWhatApplies();
  });
  byRole('export').addEventListener('click', exportFiles);
  byRole('save-text').addEventListener('click', saveText);
  byRole('quit').addEventListener('click', async () => {
    await call('/api/quit', {});
    document.body.replaceChildren(element('p', { textContent: 'Pixtrel Studio has ended: this tab may be closed.' }));
  });
  takeDrops();
  preview();
}

start();
