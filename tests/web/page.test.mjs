// The page in headless Chromium against a server the suite starts and stops:
// the roads by which a file arrives, the tool panel, the downloads against
// the native exporter, and the single file from disk.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import {startServer} from './static-host.mjs';
import {repoRoot, webDir, launchBrowser, openPage, paints, waitForPaint, chooseFile, pageBytesGzipped} from './driver.mjs';

const exporter = path.join(repoRoot, 'build/release/export/zimbelplot-export');
const work = path.join(repoRoot, 'build/web-test');
const problems = [];
let server;
let browser;
let page;

function writeWork(name, content) {
  const file = path.join(work, name);
  fs.writeFileSync(file, content);
  return file;
}

function exportPicture(file, format, args) {
  return execFileSync(exporter, [file, '--format', format, '-o', '-', ...args], {maxBuffer: 1 << 28});
}

async function field(id) {
  return page.inputValue(`#e${id}`);
}

// A checksum of what the graph area shows now (no picture, no canvas), or
// of its first `rows` rows.
function picture(rows) {
  return page.evaluate((rows) => {
    const canvas = document.getElementById('canvas');
    if (canvas.width === 0 || canvas.height === 0) return 0;
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, rows ?? canvas.height).data;
    let hash = 2166136261;
    for (let i = 0; i < data.length; i += 1) hash = Math.imul(hash ^ data[i], 16777619);
    return hash >>> 0;
  }, rows);
}

// Runs `act`, waits for the repaint it causes and says whether the picture
// is a different one.
async function changesPicture(act) {
  const before = await picture();
  const count = await paints(page);
  await act();
  await waitForPaint(page, count);
  return (await picture()) !== before;
}

async function download(command, from = page) {
  const event = from.waitForEvent('download');
  await from.click('#menu-file summary');
  await from.click(command);
  return fs.readFileSync(await (await event).path());
}

// The exporter's options for what the panel shows now, walking the core's
// table: each control by its kind's id prefix. The comparisons run with the
// automatic ratio, since the exporter has no way to take over a baseline
// that an earlier fit left behind; the field it locks is left out.
// What the core offers (ZimbelSettings), from a module of its own.
function coreTable() {
  return page.evaluate(async () => {
    const core = await createZimbelplot();
    const pointer = core._ZimbelSettings();
    const json = core.UTF8ToString(pointer);
    core._free(pointer);
    return JSON.parse(json);
  });
}

async function exporterArgs() {
  const table = await coreTable();
  const locked = [];
  for (const setting of table.settings) {
    if (setting.locks && await page.isChecked(`#k${setting.id}`)) locked.push(setting.locks);
  }
  const args = [];
  for (const {id, kind, option, offOption, choices} of table.settings) {
    if (locked.includes(id)) continue;
    if (kind === 'integer' || kind === 'number') args.push('--' + option, (await field(id)) || '0');
    if (kind === 'color') args.push('--' + option, await page.inputValue(`#c${id}`));
    if (kind === 'flag' && await page.isChecked(`#k${id}`)) args.push('--' + option);
    if (kind === 'flag' && !await page.isChecked(`#k${id}`) && offOption) args.push('--' + offOption);
    if (kind === 'choice') {
      const value = await page.getAttribute(`#l${id}`, 'data-value');
      args.push('--' + option, choices[value !== null ? Number(value) : await page.$eval(`#l${id}`, (l) => l.selectedIndex)]);
    }
  }
  assert.ok(args.includes('--auto-ratio'));
  return args;
}

before(async () => {
  fs.mkdirSync(work, {recursive: true});
  server = await startServer(webDir);
  browser = await launchBrowser();
  page = await openPage(browser.context, server.url, problems);
});

after(async () => {
  await browser?.close();
  await server?.close();
});

test('a chosen, a dropped and a pasted file each draw the graph and set the width field', async () => {
  assert.equal(await field(1000), '0');
  assert.equal(await page.isVisible('#tool'), false);

  assert.ok(await changesPicture(() => chooseFile(page, path.join(repoRoot, 'examples/three.txt'))));
  assert.equal(await field(1000), '70');
  assert.equal(await page.isVisible('#tool'), true, 'a load shows the tool panel');

  assert.ok(await changesPicture(() => page.evaluate(() => {
    const data = new DataTransfer();
    data.items.add(new File(['1\n2\n3\n4\n'], 'four.txt'));
    data.items.add(new File(['5\n'], 'ignored.txt'));
    document.getElementById('view').dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
  })));
  assert.equal(await field(1000), '90', 'only the first dropped file counts');

  // A column copied from a spreadsheet: CR LF line ends and a last empty line.
  assert.ok(await changesPicture(() => page.evaluate(() => {
    const data = new DataTransfer();
    data.setData('text/plain', '5\r\n-6\r\n7.5\r\n8\r\n1e1\r\n');
    document.body.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
  })));
  assert.equal(await field(1000), '110');
});

test('each kind of control changes the picture, with the keyboard alone', async () => {
  await chooseFile(page, path.join(repoRoot, 'examples/wave.txt'));
  await page.waitForFunction(() => document.getElementById('e1000').value === '970');
  const steps = {
    'a digits-only field ignores letters': async () => {
      await page.focus('#e1004');
      await page.keyboard.press('Control+A');
      await page.keyboard.type('x3');
      assert.equal(await field(1004), '3');
    },
    'a spin steps with the arrow key': async () => {
      await page.focus('#e1005');
      await page.keyboard.press('ArrowUp');
      assert.equal(await field(1005), '5');
    },
    'a slider moves by 16 and writes its field': async () => {
      await page.focus('#s1019');
      await page.keyboard.press('ArrowRight');
      assert.equal(await field(1001), '208');
    },
    'a free-text field': async () => {
      await page.focus('#e1008');
      await page.keyboard.type('2e1');
    },
    'the line-style list': async () => {
      await page.focus('#l1020');
      await page.keyboard.press('ArrowDown');
    },
    'the point kind': () => page.selectOption('#l1025', {index: 1}),
    'the display mode': () => page.selectOption('#l1026', {index: 0}),
    'the transparency box': async () => {
      await page.focus('#k1023');
      await page.keyboard.press('Space');
    },
    'the line colour': () => page.evaluate(() => {
      const swatch = document.getElementById('c1022');
      swatch.value = '#ff0000';
      swatch.dispatchEvent(new Event('input', {bubbles: true}));
    }),
  };
  for (const [name, step] of Object.entries(steps)) {
    assert.ok(await changesPicture(step), name);
  }
});

test('auto ratio writes the ratio field and locks it; picking a background ends transparency', async () => {
  await page.fill('#e1001', '200');
  await chooseFile(page, writeWork('127.txt', '1\n2\n7\n'));
  await page.waitForFunction(() => document.getElementById('e1000').value === '70');
  await page.check('#k1024');
  assert.equal(await field(1009), '25.7143');
  assert.equal(await page.isDisabled('#e1009'), true);
  await page.uncheck('#k1024');
  assert.equal(await page.isDisabled('#e1009'), false);
  assert.equal(await field(1009), '25.7143');

  await page.check('#k1023');
  // The chooser is left without a choice: transparency ends all the same.
  assert.ok(await changesPicture(() => page.evaluate(() => document.getElementById('c1021').click())));
  assert.equal(await page.isChecked('#k1023'), false);
});

// Nothing of the panel is written twice: each row of the core's table has
// its control by its kind's prefix, its items' labels in the language shown
// and what its row says it does to the others.
test('the panel is the core\'s table: every row\'s control, its labels in both languages, its locks and effects', async () => {
  const table = await coreTable();
  const prefix = {integer: 'e', number: 'e', choice: 'l', flag: 'k', color: 'c'};
  const first = await page.evaluate(() => document.documentElement.lang);
  const itemLabels = (id) => page.$eval(`#l${id}`, (list) => list.tagName === 'SELECT'
    ? [...list.options].map((option) => option.textContent)
    : [...list.parentElement.querySelectorAll('[role="option"]')].map((item) => item.getAttribute('aria-label')));
  for (const language of [0, 1]) {
    if (await page.evaluate(() => document.documentElement.lang) !== ['ja', 'en'][language]) {
      await page.click('#cmd-language');
    }
    for (const {id, kind, labels, slider} of table.settings) {
      const named = await page.$eval(`#${prefix[kind]}${id}`, (control) =>
        [...control.labels || []].map((label) => label.textContent).join('') || control.closest('.row').textContent);
      assert.ok(named.trim(), `control ${id} has a name`);
      if (slider) assert.ok(await page.$(`#s${slider}`), `the slider of ${id}`);
      if (labels) assert.deepEqual(await itemLabels(id), labels.map((pair) => pair[language]), `the items of ${id}`);
    }
  }
  if (first !== 'en') await page.click('#cmd-language');
  for (const {id, locks} of table.settings.filter((setting) => setting.locks)) {
    await page.check(`#k${id}`);
    assert.equal(await page.isDisabled(`#e${locks}`), true, `${id} locks ${locks}`);
    await page.uncheck(`#k${id}`);
    assert.equal(await page.isDisabled(`#e${locks}`), false, `${id} unlocks ${locks}`);
  }
  const boxes = table.settings.filter((setting) => setting.kind === 'flag');
  for (const {id, kind} of table.settings.filter((setting) => setting.effect === 'opaque')) {
    assert.equal(kind, 'color');
    for (const box of boxes) await page.check(`#k${box.id}`);
    await page.evaluate((control) => document.getElementById(control).click(), `c${id}`);
    const shown = await Promise.all(boxes.map((box) => page.isChecked(`#k${box.id}`)));
    assert.ok(shown.includes(false), `picking ${id} turned a box off, and the panel shows it`);
  }
  for (const box of boxes) await page.uncheck(`#k${box.id}`);
});

test('bad, binary and huge files load as the window loads them', async () => {
  await chooseFile(page, path.join(repoRoot, 'examples/wave.txt'));
  await page.waitForFunction(() => document.getElementById('e1000').value === '970');
  await page.check('#k1024');
  const shown = await picture();

  // A file changed on disk after it was chosen cannot be read any more.
  const gone = writeWork('changed.txt', '1\n2\n');
  await page.evaluate(() => document.getElementById('file-input').addEventListener('change',
    (event) => event.stopImmediatePropagation(), {capture: true, once: true}));
  await page.setInputFiles('#file-input', gone);
  fs.writeFileSync(gone, '1\n2\n3\n4\n5\n');
  fs.utimesSync(gone, new Date(), new Date(Date.now() + 5000));
  await page.evaluate(() => document.getElementById('file-input').dispatchEvent(new Event('change')));
  await page.waitForFunction(() => document.getElementById('message').textContent.includes('changed.txt'));
  assert.equal(await field(1000), '970');
  assert.equal(await picture(), shown);

  let seed = 7;
  const binary = Buffer.alloc(6000, 0);
  for (let i = 0; i < binary.length; i++) {
    seed = (seed * 1103515245 + 12345) >>> 0;
    binary[i] = (seed >>> 16) & 0xff;
    if (binary[i] === 0x1a) binary[i] = 0x31;  // ^Z would end it at once
  }
  // Empty lines by the thousand, lines longer than a piece, CR LF and lone
  // CRs, values padded so that the 512th lies well past the first reads,
  // then megabytes that are never needed.
  const long = '123' + 'x'.repeat(400) + '\r\n';
  const padded = Array.from({length: 600}, (_, i) => `${i % 97}${' '.repeat(200)}\n`).join('');
  const huge = Buffer.from('\r\n'.repeat(100000) + long.repeat(20) + '4\r5\r\n' + padded +
    '1\n'.repeat(3000000));
  for (const [name, bytes] of [['binary.bin', binary], ['huge.txt', huge]]) {
    const file = writeWork(name, bytes);
    const count = await paints(page);
    await chooseFile(page, file);
    await waitForPaint(page, count);
    assert.equal(await page.textContent('#message'), '', name);
    const expected = exportPicture(file, 'svg', await exporterArgs());
    assert.ok((await download('#cmd-svg')).equals(expected), `${name}: the page's SVG is the exporter's`);
  }
  assert.equal(await field(1000), '10250', 'the 512 values of the huge file');
});

// Decodes a PNG in the page and measures where things are drawn: the axis row
// (the row with the most ink), the x of each tick above it, and the centre of
// ink around each point's column.
function measure(png, pointX, interval) {
  return page.evaluate(async ({data, pointX, interval}) => {
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext('2d');
    context.drawImage(image, 0, 0);
    const pixels = context.getImageData(0, 0, image.width, image.height).data;
    const alpha = (x, y) => pixels[(y * image.width + x) * 4 + 3] / 255;
    let axisRow = 0;
    let best = -1;
    for (let y = 0; y < image.height; y++) {
      let sum = 0;
      for (let x = 0; x < image.width; x++) sum += alpha(x, y);
      if (sum > best) [best, axisRow] = [sum, y];
    }
    const ticks = [];
    let run = null;
    for (let x = 1; x <= image.width; x++) {
      const ink = x < image.width ? alpha(x, axisRow - 2) : 0;
      if (ink > 0.1) run = run || {weight: 0, sum: 0};
      if (run && ink > 0.1) {
        run.weight += ink;
        run.sum += ink * x;
      } else if (run) {
        ticks.push(run.sum / run.weight);
        run = null;
      }
    }
    const centres = pointX.map((px) => {
      let weight = 0;
      let sx = 0;
      let sy = 0;
      for (let x = Math.max(0, px - interval / 2); x < Math.min(image.width, px + interval / 2); x++) {
        for (let y = 0; y < image.height; y++) {
          const ink = alpha(x, y);
          weight += ink;
          sx += ink * x;
          sy += ink * y;
        }
      }
      return [sx / weight, sy / weight];
    });
    return {width: image.width, height: image.height, axisRow, ticks, centres,
      clear: pixels.some((v, i) => i % 4 === 3 && v === 0)};
  }, {data: png.toString('base64'), pointX, interval});
}

test('the PNG download is RGBA and draws the exporter\'s geometry', async () => {
  const data = writeWork('geometry.txt', '3\n-2\n8\n5\n0\n-7\n4\n6\n');
  await chooseFile(page, data);
  await page.waitForFunction(() => document.getElementById('e1000').value === '170');
  await page.selectOption('#l1025', {index: 1});
  await page.fill('#e1005', '9');
  await page.fill('#e1004', '1');
  await page.fill('#e1008', '');
  await page.selectOption('#l1026', {index: 2});
  await page.check('#k1023');
  await page.check('#k1024');
  const settings = await exporterArgs();

  const png = await download('#cmd-png');
  assert.ok(png.subarray(0, 8).equals(Buffer.from('\x89PNG\r\n\x1a\n', 'latin1')));
  assert.equal(png.readUInt32BE(16), 170);
  assert.equal(png.readUInt32BE(20), 200);
  assert.equal(png[24], 8, 'eight bits a channel');
  assert.equal(png[25], 6, 'colour with alpha');

  const pointX = Array.from({length: 8}, (_, i) => 10 + 20 * i);
  const mine = await measure(png, pointX, 20);
  const native = await measure(exportPicture(data, 'png', settings), pointX, 20);
  assert.ok(mine.clear, 'the transparent background stays transparent');
  assert.equal(mine.axisRow, native.axisRow);
  assert.equal(mine.ticks.length, native.ticks.length);
  mine.ticks.forEach((x, i) => assert.ok(Math.abs(x - native.ticks[i]) <= 0.5, `tick ${i}: ${x} ${native.ticks[i]}`));

  await page.selectOption('#l1026', {index: 0});
  const plotMine = await measure(await download('#cmd-png'), pointX, 20);
  const plotNative = await measure(exportPicture(data, 'png', await exporterArgs()), pointX, 20);
  plotMine.centres.forEach(([x, y], i) => {
    const [nx, ny] = plotNative.centres[i];
    assert.ok(Math.abs(x - nx) <= 0.5 && Math.abs(y - ny) <= 0.5, `point ${i}: ${x},${y} against ${nx},${ny}`);
  });
});

test('a 9999 x 9999 picture scrolls with a canvas the size of the view, and downloads whole', async () => {
  await page.fill('#e1000', '9999');
  await page.fill('#e1001', '9999');
  const size = () => page.evaluate(() => {
    const view = document.getElementById('view');
    const canvas = document.getElementById('canvas');
    return [canvas.width, canvas.height, view.clientWidth, view.clientHeight, view.scrollWidth, view.scrollHeight];
  });
  const [width, height, viewWidth, viewHeight, scrollWidth, scrollHeight] = await size();
  assert.deepEqual([width, height, scrollWidth, scrollHeight], [viewWidth, viewHeight, 9999, 9999]);
  assert.ok(await changesPicture(() => page.evaluate(() => document.getElementById('view').scrollTo(9999, 9999))));
  assert.deepEqual((await size()).slice(0, 2), [width, height]);

  // The download is the whole picture, wherever the view is scrolled to.
  await page.fill('#e1001', '300');
  await page.selectOption('#l1026', {index: 1});
  await page.evaluate(() => document.getElementById('view').scrollTo(9999, 9999));
  const whole = await measure(await download('#cmd-png'), [], 20);
  assert.deepEqual([whole.width, whole.height], [9999, 300]);
  assert.ok(Math.abs(whole.ticks[0] - 10) <= 0.5, `the first tick at ${whole.ticks[0]}`);
});

// The view draws only what reaches it: markers, ticks and a wide line cut by
// each of its four edges are there as in the download, pixel for pixel. (A
// dashed line's dash ends are anti-aliased apart on canvases of other sizes.)
test('a scrolled view is the download\'s pixels at its place, out to its edges', async () => {
  const wave = Array.from({length: 500}, (_, i) => Math.sin(i / 7).toFixed(3)).join('\n');
  await chooseFile(page, writeWork('edges.txt', wave + '\n'));
  const interval = await field(1006);
  await page.waitForFunction((width) => document.getElementById('e1000').value === width, String(500 * interval + 10));
  for (const [id, value] of [[1000, '2500'], [1001, '2000'], [1004, '3'], [1005, '9'], [1006, '4'], [1007, '1']]) {
    await page.fill(`#e${id}`, value);
  }
  await page.click('#l1020');
  await page.click('#style-0');
  await page.uncheck('#k1023');
  await page.check('#k1024');
  await page.selectOption('#l1026', {index: 2});
  const count = await paints(page);
  await page.evaluate(() => document.getElementById('view').scrollTo(301, 601));
  await waitForPaint(page, count);
  const png = (await download('#cmd-png')).toString('base64');
  const differing = await page.evaluate(async (data) => {
    const view = document.getElementById('view');
    const canvas = document.getElementById('canvas');
    const shown = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const image = new Image();
    image.src = 'data:image/png;base64,' + data;
    await image.decode();
    const whole = new OffscreenCanvas(image.width, image.height).getContext('2d');
    whole.drawImage(image, 0, 0);
    const there = whole.getImageData(view.scrollLeft, view.scrollTop, canvas.width, canvas.height).data;
    // Two canvases of other sizes anti-alias a few levels apart; a shape
    // left out differs by far more.
    let count = 0;
    for (let i = 0; i < shown.length; i++) if (Math.abs(shown[i] - there[i]) > 32) count++;
    return [count, view.scrollLeft, view.scrollTop];
  }, png);
  assert.deepEqual(differing, [0, 301, 601], 'values far off the download, the view\'s scroll position');
  await page.fill('#e1006', interval);
});

// A change to the line alone draws the line over the pixels kept of what
// lies under it (no marker is drawn again), and one to the markers or the
// plot's colour draws the plot over the pixels kept of the axes (no
// background is cleared again); either way the picture is the one drawn
// whole after a change under the plot and back.
test('changes over kept pixels are the picture drawn whole, pixel for pixel', async () => {
  await chooseFile(page, path.join(repoRoot, 'examples/wave.txt'));
  await page.waitForFunction(() => document.getElementById('e1000').value === '970');
  const drawn = () => page.evaluate(() => [window.ellipses, window.clears]);
  await page.evaluate(() => {
    const proto = CanvasRenderingContext2D.prototype;
    const {ellipse, fillRect} = proto;
    window.ellipses = 0;
    window.clears = 0;
    proto.ellipse = function (...args) {
      window.ellipses++;
      return ellipse.apply(this, args);
    };
    proto.fillRect = function (...args) {
      window.clears++;
      return fillRect.apply(this, args);
    };
  });
  const [lineWidth, margin, size, color, height] = [await field(1004), await field(1002), await field(1005),
    await page.inputValue('#c1022'), await field(1001)];
  // The picture's rows: below them the canvas may hold more, clear.
  const shown = () => picture(Number(height));
  const canvasSize = () => page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
  // The dotted frame of a size not seen before is stroked; painted again,
  // it is copied from pixels kept of it, corners and all.
  const repaint = async () => {
    const count = await paints(page);
    await page.evaluate(() => document.getElementById('canvas').dispatchEvent(new Event('contextrestored')));
    await waitForPaint(page, count);
  };
  // The corners of some sizes are dots only partly covered, over the solid
  // frame under them.
  for (const width of ['777', '90']) {
    await page.fill('#e1000', width);
    const stroked = await picture();
    await repaint();
    await repaint();
    assert.equal(await picture(), stroked, `the frame ${width} wide copied from kept pixels`);
  }
  await page.fill('#e1000', '970');
  for (const [width, style] of [['4', 0], ['1', 0], ['4', 1], ['6', 3]]) {
    await page.fill('#e1004', width);
    await page.click('#l1020');
    await page.click(`#style-${style}`);
    await page.fill('#e1002', String(Number(margin) + 1));
    await page.fill('#e1002', margin);
    const whole = await shown();
    await page.fill('#e1004', '9');
    const [markers] = await drawn();
    await page.fill('#e1004', width);
    assert.equal((await drawn())[0], markers, `width ${width}, style ${style}: markers drawn again`);
    assert.equal(await shown(), whole, `width ${width}, style ${style}`);
    for (const [id, other, back] of [['#e1005', String(Number(size) + 3), size], ['#c1022', '#0000ff', color]]) {
      await page.fill(id, other);
      const [, clears] = await drawn();
      await page.fill(id, back);
      assert.equal((await drawn())[1], clears, `${id}, width ${width}, style ${style}: the background drawn again`);
      assert.equal(await shown(), whole, `${id}, width ${width}, style ${style}`);
    }
    // A lower picture keeps the canvas, its rows below the picture clear.
    await page.fill('#e1001', String(Number(height) + 16));
    const kept = await canvasSize();
    await page.fill('#e1001', height);
    assert.deepEqual(await canvasSize(), kept, `width ${width}, style ${style}: a canvas made anew`);
    assert.equal(await shown(), whole, `width ${width}, style ${style}, after a height`);
    assert.ok(await page.evaluate((top) => {
      const canvas = document.getElementById('canvas');
      return canvas.getContext('2d').getImageData(0, top, canvas.width, canvas.height - top).data.every((v) => v === 0);
    }, Number(height)), `width ${width}, style ${style}: ink below the picture`);
  }
  await page.fill('#e1004', lineWidth);
  await page.click('#l1020');
  await page.click('#style-0');
  // A canvas restored blank after its graphics processor reset is painted again.
  await repaint();
});

test('the view has a device pixel for each of the screen\'s and follows the ratio; downloads keep the image\'s', async () => {
  const dense = await launchBrowser({deviceScaleFactor: 2});
  try {
    const sharp = await openPage(dense.context, server.url, problems);
    await chooseFile(sharp, writeWork('axis.txt', '1\n2\n3\n'));
    await sharp.waitForFunction(() => document.getElementById('e1000').value === '70');
    await sharp.selectOption('#l1026', {index: 1});
    // The picture (70 x 200) is smaller than the view: the canvas covers it alone.
    const backing = () => sharp.evaluate(() => {
      const canvas = document.getElementById('canvas');
      return [canvas.width / 70, canvas.height / 200, canvas.style.width === '70px'];
    });
    assert.deepEqual(await backing(), [2, 2, true]);
    // Between two ticks and inside the transparent image's frame, the X
    // axis (y 190 of 200) is two full rows and no row beside them has ink.
    const column = await sharp.evaluate(() => {
      const canvas = document.getElementById('canvas');
      const data = canvas.getContext('2d').getImageData(40, 0, 1, canvas.height).data;
      const inked = [];
      for (let y = 2; y < 398; y++) if (data[4 * y + 3]) inked.push([y, data[4 * y + 3]]);
      return inked;
    });
    assert.deepEqual(column, [[380, 255], [381, 255]]);

    // Zoomed to 50 % and to 150 %: the same window, other ratios. (Headless
    // Chromium changes no media query's listeners when only the ratio
    // changes, as a move to another screen does.)
    const devtools = await dense.context.newCDPSession(sharp);
    for (const [ratio, width, height] of [[1, 2200, 1520], [3, 733, 506]]) {
      await devtools.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor: ratio, mobile: false});
      await sharp.waitForFunction((r) => document.getElementById('canvas').width === r * 70, ratio, {timeout: 10000});
      assert.deepEqual(await backing(), [ratio, ratio, true]);
    }
    const png = await download('#cmd-png', sharp);
    assert.deepEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [70, 200]);
  } finally {
    await dense.close();
  }
});

test('the single file works from disk, and the page fits a narrow screen', async () => {
  const single = await openPage(browser.context, pathToFileURL(path.join(webDir, 'zimbelplot.html')).href, problems);
  // View > Tool from the keyboard, twice: shown and checked, then hidden.
  for (const shown of [true, false]) {
    await single.focus('#menu-view summary');
    await single.keyboard.press('Enter');
    await single.keyboard.press('Tab');
    await single.keyboard.press('Enter');
    // Its controls show in the next frame's work.
    await single.locator('#tool').waitFor({state: shown ? 'visible' : 'hidden', timeout: 5000});
    assert.equal(await single.getAttribute('#cmd-tool', 'aria-checked'), String(shown));
  }
  await chooseFile(single, path.join(repoRoot, 'examples/wave.txt'));
  await single.waitForFunction(() => document.getElementById('e1000').value === '970');
  await single.screenshot({path: path.join(work, 'page.png')});
  const unlabelled = await single.evaluate(() => [...document.querySelectorAll('input, select, button')]
    .filter((control) => control.type !== 'file' && control.getAttribute('aria-hidden') !== 'true')
    .filter((control) => !control.labels?.length && !control.getAttribute('aria-labelledby') &&
      !control.textContent.trim())
    .map((control) => control.id || control.outerHTML));
  assert.deepEqual(unlabelled, [], 'every control has a label');

  await single.setViewportSize({width: 360, height: 740});
  const tool = await single.locator('#tool').boundingBox();
  const graph = await single.locator('#graph-area').boundingBox();
  assert.ok(tool.y >= graph.y + graph.height, 'the panel is under the graph');
  assert.ok(tool.x >= 0 && tool.x + tool.width <= 360, 'the panel fits the width');
  await single.screenshot({path: path.join(work, 'page-360.png')});
  // A phone: the panel starts where the 200-pixel picture and its scroll bar end.
  await single.setViewportSize({width: 390, height: 844});
  await single.waitForFunction(() => {
    const view = document.getElementById('view');
    const area = document.getElementById('graph-area').getBoundingClientRect();
    return area.height === 200 + view.offsetHeight - view.clientHeight + 2;
  }, null, {timeout: 10000});
  const phoneGraph = await single.locator('#graph-area').boundingBox();
  const phoneTool = await single.locator('#tool').boundingBox();
  assert.ok(phoneTool.y <= phoneGraph.y + phoneGraph.height + 6, `the panel at ${phoneTool.y}`);
  await single.close();
});

test('a link opens the same picture; a damaged, cut, hostile or huge one opens nothing and says so', async () => {
  await chooseFile(page, path.join(repoRoot, 'examples/wave.txt'));
  await page.waitForFunction(() => document.getElementById('e1000').value === '970');
  await page.fill('#e1004', '3');
  await page.uncheck('#k1024');
  await page.fill('#e1009', '0.7310000000001');
  await page.selectOption('#l1025', {index: 1});
  await page.evaluate(() => document.getElementById('c1021').click());
  const svg = await download('#cmd-svg');

  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin: server.url});
  await page.click('#menu-file summary');
  await page.click('#cmd-link');
  await page.waitForFunction(() => document.getElementById('message').textContent !== '');
  const link = await page.evaluate(() => navigator.clipboard.readText());
  assert.ok(link.startsWith(server.url + '#'), link.slice(0, 80));

  const opened = await openPage(browser.context, link, problems);
  assert.ok((await download('#cmd-svg', opened)).equals(svg), 'the same SVG, byte for byte');
  assert.equal(await opened.inputValue('#e1009'), '0.7310000000001');

  const fragment = link.split('#')[1];
  const shown = await opened.evaluate(() => document.getElementById('canvas').toDataURL());
  const bad = [fragment.slice(0, fragment.length >> 1), fragment.replace(/.(?=.{20}$)/, (c) => c === 'A' ? 'B' : 'A'),
    'z1&width=1', 'A'.repeat(1 << 20), '%E0%A4%A', fragment + fragment];
  for (const hash of bad) {
    await opened.evaluate((hash) => {
      document.getElementById('message').textContent = '';
      location.hash = hash;
    }, hash);
    await opened.waitForFunction(() => document.getElementById('message').textContent !== '');
    assert.match(await opened.textContent('#message'), /壊れ|damaged/, hash.slice(0, 40));
    assert.equal(await opened.evaluate(() => document.getElementById('canvas').toDataURL()), shown);
    assert.equal(await opened.inputValue('#e1004'), '3');
  }
  await opened.close();
});

test('after one visit the page opens and works with no network; a new build replaces what was kept', async () => {
  // A host of its own: the test publishes a new build over the first.
  const host = path.join(work, 'host');
  fs.rmSync(host, {recursive: true, force: true});
  fs.cpSync(webDir, host, {recursive: true});
  const served = await startServer(host);
  const visitor = await launchBrowser();
  try {
    const first = await openPage(visitor.context, served.url, problems);
    await first.waitForFunction(() => navigator.serviceWorker.controller !== null, null, {timeout: 10000});
    await visitor.context.setOffline(true);
    await first.reload();
    await first.waitForSelector('body[data-ready="true"]', {timeout: 15000});
    await chooseFile(first, path.join(repoRoot, 'examples/wave.txt'));
    await first.waitForFunction(() => document.getElementById('e1000').value === '970');
    const kept = await first.evaluate(async () => (await caches.keys()).join());
    assert.match(kept, /^zimbelplot-[0-9a-f]{16}$/);
    await visitor.context.setOffline(false);

    const sw = path.join(host, 'sw.js');
    fs.writeFileSync(sw, fs.readFileSync(sw, 'utf8').replace(kept, 'zimbelplot-00000000000000b2'));
    fs.appendFileSync(path.join(host, 'app.js'), '\ndocument.body.dataset.build = "b2";\n');
    await first.reload();
    await first.waitForSelector('body[data-build="b2"]', {timeout: 15000});
    // The new worker has kept its build, dropped the old one and taken the page.
    // (waitForFunction takes the promise of an async test for a true answer.)
    const deadline = Date.now() + 15000;
    const switched = () => first.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      const active = registration && registration.active;
      return Boolean(active && active.state === 'activated' && active === navigator.serviceWorker.controller &&
        (await caches.keys()).join() === 'zimbelplot-00000000000000b2');
    });
    while (!(await switched())) {
      assert.ok(Date.now() < deadline, 'the new build\'s worker took over within 15 s');
      await first.waitForTimeout(100);
    }
    await visitor.context.setOffline(true);
    await first.reload();
    await first.waitForSelector('body[data-ready="true"]', {timeout: 15000});
    assert.equal(await first.evaluate(() => document.body.dataset.build), 'b2', 'offline, the new build runs');
  } finally {
    await visitor.context.setOffline(false);
    await visitor.close();
    await served.close();
  }
});

// What a reader can get at besides the picture: the value under the pointer
// or the focused graph's arrow keys, the table of values, the canvas's text.
test('the readout shows a point\'s number and value by mouse and by key; the table and the text alternative hold the values', async () => {
  const reader = await openPage(browser.context, server.url, problems);
  try {
    await chooseFile(reader, writeWork('reader.txt', '3\n-1.25\nabc\n0.1\n'));
    await reader.waitForFunction(() => document.getElementById('e1000').value === '90');
    assert.equal(await reader.getAttribute('#canvas', 'role'), 'img');
    assert.equal(await reader.getAttribute('#canvas', 'aria-label'), 'Line graph of 4 values, lowest -1.25, highest 3');
    assert.equal(await reader.textContent('.row:has(#e1007) .unit'), 'points');

    // Markers are centred 20 apart from x 10; the picture is not touched.
    const shown = () => reader.evaluate(() => {
      const readout = document.getElementById('readout');
      return readout.hidden ? null : readout.textContent;
    });
    const before = await reader.evaluate(() => document.getElementById('canvas').toDataURL());
    const box = await reader.locator('#view').boundingBox();
    await reader.mouse.move(box.x + 33, box.y + 100);
    assert.equal(await shown(), 'Point 2: -1.25');
    assert.equal(await reader.evaluate(() => document.getElementById('canvas').toDataURL()), before);
    await reader.mouse.move(box.x + 600, box.y + 100);
    assert.equal(await shown(), null, 'beside the picture nothing is read');

    await reader.focus('#view');
    await reader.keyboard.press('ArrowRight');
    assert.equal(await shown(), 'Point 1: 3');
    for (const [key, expected] of [['ArrowRight', 'Point 2: -1.25'], ['ArrowRight', 'Point 3: 0'],
      ['ArrowRight', 'Point 4: 0.1'], ['ArrowRight', 'Point 4: 0.1'], ['ArrowLeft', 'Point 3: 0']]) {
      await reader.keyboard.press(key);
      assert.equal(await shown(), expected, key);
    }

    await reader.click('#menu-view summary');
    await reader.click('#cmd-values');
    const rows = () => reader.$$eval('#values tbody tr', (trs) => trs.map((tr) => [...tr.cells].map((cell) => cell.textContent)));
    assert.deepEqual(await rows(), [['1', '3'], ['2', '-1.25'], ['3', '0'], ['4', '0.1']]);
    const exact = ['0.30000000000000004', '1e-300', '-123456789.125'];
    await reader.evaluate((text) => {
      const data = new DataTransfer();
      data.setData('text/plain', text);
      document.body.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
    }, exact.join('\n'));
    await reader.waitForFunction(() => document.querySelectorAll('#values tbody tr').length === 3);
    assert.deepEqual(await rows(), exact.map((value, i) => [String(i + 1), value]));
  } finally {
    await reader.close();
  }
});

// The page's own colours follow the system; a transparent picture keeps a
// light ground, and axe-core finds nothing in either scheme.
test('the page is dark when the system is, the picture\'s ground is not, and axe finds nothing', async () => {
  const themed = await openPage(browser.context, server.url, problems);
  try {
    await chooseFile(themed, path.join(repoRoot, 'examples/wave.txt'));
    await themed.waitForFunction(() => document.getElementById('e1000').value === '970');
    await themed.click('#menu-view summary');
    await themed.click('#cmd-values');
    const lightness = (selector) => themed.$eval(selector, (element) => {
      const [r, g, b] = getComputedStyle(element).backgroundColor.match(/[0-9.]+/g).map(Number);
      return Math.round((0.2126 * r + 0.7152 * g + 0.0722 * b) / 2.55);
    });
    await themed.addScriptTag({path: path.join(repoRoot, 'tests/web/node_modules/axe-core/axe.min.js')});
    for (const [scheme, dark] of [['light', false], ['dark', true]]) {
      await themed.emulateMedia({colorScheme: scheme});
      for (const selector of ['body', '#menubar', '#graph-area', '#tool']) {
        assert.equal((await lightness(selector)) < 30, dark, `${selector} in the ${scheme} scheme`);
      }
      assert.ok((await lightness('#spacer')) > 90, `the ground of a transparent picture in the ${scheme} scheme`);
      const found = await themed.evaluate(async () => (await axe.run()).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`));
      assert.deepEqual(found, [], scheme);
    }
  } finally {
    await themed.close();
  }
});

test('what a first visit loads stays under 50 kB gzipped', () => {
  const bytes = pageBytesGzipped();
  assert.ok(bytes < 50000, `${bytes} bytes`);
});

test('no console errors', () => {
  assert.deepEqual(problems, []);
});
