// node studio_browser_test.js BIN SHOTS: Pixtrel Studio as a user meets it,
// in headless Chromium: BIN/pixtrel-studio started on a fresh folder, its
// printed address loaded, a menu typed, a font and a format chosen through
// the data-option controls, the preview held to pixtrel-extract's --png,
// the text saved and exported, the export held to the command line the
// page shows, and what a page may not do. Screenshots go to SHOTS.
'use strict';

const assert = require('node:assert/strict');
const { execFileSync, spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const readline = require('node:readline');
const puppeteer = require('puppeteer-core');

const [bin, shots] = process.argv.slice(2);
const menu = '设置\n语言: 中文\n亮度 ABC\n返回\n';

/// Starts the studio in `folder`; resolves to it and the address it prints.
function startStudio(folder) {
  const studio = spawn(path.join(bin, 'pixtrel-studio'), ['--no-browser'], { cwd: folder, stdio: ['ignore', 'pipe', 'inherit'] });
  return new Promise((resolve, reject) => {
    readline.createInterface({ input: studio.stdout }).once('line', (line) => {
      const found = /^Pixtrel Studio: (http:\/\/127\.0\.0\.1:(\d+)\/\?token=[0-9a-f]+)$/.exec(line);
      if (found) resolve({ studio, address: found[1], port: found[2] });
      else reject(new Error(`pixtrel-studio printed: ${line}`));
    });
    studio.once('exit', (status) => reject(new Error(`pixtrel-studio ended: ${status}`)));
  });
}

/// The picture the page shows once its drawing has settled.
async function settledPreview(page) {
  await page.waitForSelector('[data-role="pictures"][data-state="drawn"] img[data-role="preview"]');
  return page.$eval('img[data-role="preview"]', (image) => image.src.replace(/^data:image\/png;base64,/, ''));
}

async function choose(page, option, value) {
  await page.select(`[data-option="${option}"]`, value);
}

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'pixtrel-studio-'));
  const { studio, address, port } = await startStudio(folder);
  const browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'], headless: true });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1400, height: 1000 });

    // Without the token, nothing; with it, the page.
    const refused = await page.goto(`http://127.0.0.1:${port}/`);
    assert.equal(refused.status(), 403);
    await page.goto(address);
    assert.equal(new URL(page.url()).search, '', 'the token is a cookie, not in the address');
    await page.waitForSelector('[data-option="--format"]');

    // A 16-pixel OLED: the menu typed, drawn by the set, 128 × 64.
    await page.type('[data-role="text"]', menu);
    await choose(page, '--format', 'h');
    await settledPreview(page);
    await page.screenshot({ path: path.join(shots, 'studio-oled.png') });

    // A 4 bpp TFT: an installed font, LVGL, a colour display.
    await choose(page, '--font', 'WenQuanYi Micro Hei Regular');
    await choose(page, '--format', 'lvgl');
    await page.$eval('[data-option="--size"]', (size) => { size.value = ''; });
    await page.type('[data-option="--size"]', '20');
    await choose(page, '--bpp', '4');
    await page.select('[data-role="display-type"]', 'colour');
    await page.$eval('[data-option="--max-width"]', (width) => { width.value = ''; });
    await page.type('[data-option="--max-width"]', '100');
    await page.type('[data-role="save-name"]', 'menu.txt');
    await page.click('[data-role="save-text"]');
    await page.waitForSelector('[data-role="texts"] input[value="menu.txt"]:checked');
    const shown = await settledPreview(page);
    await page.type('[data-option="--output"]', 'menu_font.c');
    await page.click('[data-role="export"]');
    await page.waitForFunction(() => document.querySelector('[data-role="exported"] li'));
    const command = await page.$eval('[data-role="command"]', (pre) => pre.textContent);
    assert.match(command, /^pixtrel-extract .*--font 'WenQuanYi Micro Hei Regular'.* --format lvgl .*menu\.txt$/);
    assert.match(await page.$eval('[data-role="cmake"]', (pre) => pre.textContent), /^pixtrel_add_glyphs\(menu_font\n/);

    // Click a glyph: its levels and its character.
    assert.equal(await settledPreview(page), shown);
    const canvas = await page.$('canvas[data-role="zoomed"]');
    await canvas.click({ offset: { x: 8 * 4, y: 10 * 4 } });
    await page.waitForSelector('[data-role="inspector"]:not([hidden])');
    assert.equal(await page.$eval('[data-role="inspector"]', (panel) => panel.dataset.codePoint), String(0x8bbe));
    await page.screenshot({ path: path.join(shots, 'studio-tft.png') });

    // The export is what the command line writes; the preview what its --png draws.
    const exported = fs.readFileSync(path.join(folder, 'menu_font.c'));
    fs.renameSync(path.join(folder, 'menu_font.c'), path.join(folder, 'exported.c'));
    execFileSync('sh', ['-c', `PATH="${bin}:$PATH" ${command}`], { cwd: folder, stdio: 'inherit' });
    assert.ok(exported.equals(fs.readFileSync(path.join(folder, 'menu_font.c'))), 'the exported font differs');
    execFileSync('sh', ['-c', `PATH="${bin}:$PATH" ${command} -q --png-scale 1 --png preview.png -o other.c`], { cwd: folder, stdio: 'inherit' });
    assert.equal(shown, fs.readFileSync(path.join(folder, 'preview.png')).toString('base64'), 'the preview differs from --png');

    // What a page may not ask for.
    const asked = (api, args) => page.evaluate(async (where, words) => {
      const response = await fetch(where, { method: 'POST', body: JSON.stringify({ args: words }) });
      return [response.status, (await response.json()).error];
    }, api, args);
    assert.deepEqual(await asked('/api/preview', ['../menu.txt']), [403, '../menu.txt: ".." leads out of the project folder']);
    assert.deepEqual((await asked('/api/export', ['-o', 'menu.txt', 'menu.txt']))[0], 403);
    assert.equal(fs.readFileSync(path.join(folder, 'menu.txt'), 'utf8'), menu);

    const ended = new Promise((resolve) => studio.once('exit', resolve));
    await page.click('[data-role="quit"]');
    assert.equal(await ended, 0);
  } finally {
    await browser.close();
    studio.kill();
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
