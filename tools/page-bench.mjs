// The page beside uPlot in headless Chromium, as a visitor meets each: a
// freshly opened page from 512 pasted numbers to its first picture (uPlot
// from its construction from an array), then the median redraw after a
// line-width change with the loaded point interval's ~50 points in view, and
// with all 512 a pixel apart. Every figure ends with a pixel read back from
// the canvas, so the picture is on it, not merely queued. A new browser for
// each of three rounds; the medians, and page / uPlot. Then every other
// kind of change beside uPlot's nearest equivalent, timed the same way: a
// height (uPlot's setSize), a point size, a colour, a margin (uPlot's x
// scale moved by a pixel) and a scroll step (moved by 16 pixels; the page
// from the browser's scroll event, which a scroll bar is moved before).
// A scroll comes a frame at a time, so each step of either starts once the
// last one's frame is on screen: the first drawing after a frame pays for
// a copy of the canvas the compositor still holds, a cost back-to-back
// redraws never meet.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {repoRoot, webDir, launchBrowser, pageBytesGzipped} from '../tests/web/driver.mjs';
import {startServer} from '../tests/web/static-host.mjs';

const kRounds = 3;
const kRedraws = 41;
const kView = {viewport: {width: 1280, height: 720}, deviceScaleFactor: 1};
const values = Array.from({length: 512}, (_, i) => Math.round(60 * Math.sin(i / 9) + 25 * Math.sin(i / 2.3) + 80));
const median = (list) => [...list].sort((a, b) => a - b)[list.length >> 1];

// Runs in the page: the median of `count` redraws, each `redraw(width)`
// (1 and 2 in turn) and a pixel read back; a redraw may give the time it
// began itself.
const redrawLoop = async ([count, redraw]) => {
  const change = new Function('width', redraw);
  const canvas = document.querySelector('canvas');
  const times = [];
  for (let i = 0; i < count; i++) {
    let start = performance.now();
    start = (await change(i % 2 ? 1 : 2)) ?? start;
    canvas.getContext('2d').getImageData(0, 0, 1, 1);
    times.push(performance.now() - start);
  }
  return times.sort((a, b) => a - b)[count >> 1];
};

const typeInto = (id, values) => `const e = document.getElementById('${id}');
  e.value = width === 1 ? '${values[0]}' : '${values[1]}'; e.dispatchEvent(new Event('input', {bubbles: true}));`;
const typeLineWidth = typeInto('e1004', [1, 2]);
// From the scroll event to the paint it asks for.
const scrollStep = `const view = document.getElementById('view'), canvas = document.getElementById('canvas');
  const paints = canvas.dataset.paints;
  return new Promise((done) => {
    let start;
    document.addEventListener('scroll', () => { start = performance.now(); }, {capture: true, once: true});
    new MutationObserver((_, observer) => {
      if (canvas.dataset.paints === paints) return;
      observer.disconnect();
      done(start);
    }).observe(canvas, {attributes: true});
    view.scrollLeft = width === 1 ? 0 : 16;
  });`;
// The page's change, and uPlot's nearest.
const kChanges = {
  'an image height': [typeInto('e1001', [200, 216]), `plot.setSize({width: plot.width, height: width === 1 ? 200 : 216});`],
  'a point size': [typeInto('e1005', [4, 5]), `plot.series[1].points.size = width === 1 ? 4 : 5; plot.redraw(true, false);`],
  'a line colour': [typeInto('c1022', ['#000000', '#0000ff']), `const c = width === 1 ? '#000' : '#00f';
    plot.series[1].stroke = plot.series[1].points.stroke = plot.series[1].points.fill = () => c; plot.redraw(false, false);`],
  'a left margin': [typeInto('e1002', [10, 11]), `const step = plot.scales.x.max - plot.scales.x.min;
    plot.setScale('x', {min: width === 1 ? 0 : 1 / 20, max: step + (width === 1 ? 0 : 1 / 20)});`],
  // uPlot's, as the page's, after a frame on screen.
  'a scroll step': [scrollStep, `return new Promise((done) => requestAnimationFrame(() => setTimeout(() => {
    const start = performance.now(), step = plot.scales.x.max - plot.scales.x.min;
    plot.setScale('x', {min: width === 1 ? 0 : 16 / 20, max: step + (width === 1 ? 0 : 16 / 20)});
    Promise.resolve().then(() => Promise.resolve()).then(() => done(start));
  })));`],
};
const settled = `return Promise.resolve().then(() => Promise.resolve());`;

async function pageRound(context, url) {
  const page = await context.newPage();
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', {timeout: 15000});
  const first = await page.evaluate((text) => new Promise((done) => {
    const canvas = document.getElementById('canvas');
    const before = canvas.dataset.paints;
    const data = new DataTransfer();
    data.setData('text/plain', text);
    const start = performance.now();
    new MutationObserver((_, observer) => {
      if (canvas.dataset.paints === before) return;
      canvas.getContext('2d').getImageData(0, 0, 1, 1);
      observer.disconnect();
      done(performance.now() - start);
    }).observe(canvas, {attributes: true});
    document.body.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true}));
  }), values.join('\n') + '\n');
  await page.waitForFunction(() => document.getElementById('e1000').value === '10250');
  const viewWidth = await page.evaluate(() => document.getElementById('view').clientWidth);
  const loaded = await page.evaluate(redrawLoop, [kRedraws, typeLineWidth]);
  const changes = {};
  for (const [name, [change]] of Object.entries(kChanges)) {
    changes[name] = await page.evaluate(redrawLoop, [kRedraws, change]);
    // Back to the loaded graph for the next.
    await page.evaluate((code) => new Function('width', code)(1), change);
  }
  await page.evaluate(() => {
    const e = document.getElementById('e1006');
    e.value = '1';
    e.dispatchEvent(new Event('input', {bubbles: true}));
  });
  const all = await page.evaluate(redrawLoop, [kRedraws, typeLineWidth]);
  await page.close();
  return {first, loaded, all, viewWidth, ...changes};
}

// uPlot at the view's width and the picture's height, the same points in
// view at the same interval, axes shown, markers 4 px: its own first picture
// is timed in the page from the constructor to a pixel read back.
function writePeer(dir) {
  const dist = path.join(repoRoot, 'tests/web/node_modules/uplot/dist');
  fs.copyFileSync(path.join(dist, 'uPlot.iife.min.js'), path.join(dir, 'uPlot.iife.min.js'));
  fs.copyFileSync(path.join(dist, 'uPlot.min.css'), path.join(dir, 'uPlot.min.css'));
  fs.writeFileSync(path.join(dir, 'index.html'), `<!DOCTYPE html><meta charset="utf-8"><link rel="icon" href="data:,">
<link rel="stylesheet" href="uPlot.min.css"><body style="margin:0"><div id="chart"></div>
<script src="uPlot.iife.min.js"></script><script>
const q = new URLSearchParams(location.search), width = +q.get('w'), interval = +q.get('iv');
const ys = ${JSON.stringify(values)}, xs = ys.map((_, i) => i);
const start = performance.now();
window.plot = new uPlot({width, height: 200, pxAlign: 1, legend: {show: false}, cursor: {show: false},
  scales: {x: {time: false, min: 0, max: width / interval}}, axes: [{show: true, size: 20}, {show: true, size: 30}],
  series: [{}, {stroke: '#000', width: 1, points: {show: true, size: 4, fill: '#000'}}]}, [xs, ys], document.getElementById('chart'));
window.firstPicture = null;
queueMicrotask(() => { plot.ctx.getImageData(0, 0, 1, 1); window.firstPicture = performance.now() - start; });
</script>`);
  return JSON.parse(fs.readFileSync(path.join(dist, '../package.json'), 'utf8')).version;
}

const peerRedraw = `plot.series[1].width = width; plot.redraw(true, false);
  return Promise.resolve().then(() => Promise.resolve());`;

async function peerRound(context, url, viewWidth) {
  const figures = {};
  for (const [name, interval] of [['loaded', 20], ['all', 1]]) {
    const page = await context.newPage();
    await page.goto(`${url}?w=${viewWidth}&iv=${interval}`);
    await page.waitForFunction(() => window.firstPicture !== null, null, {timeout: 15000});
    if (interval === 20) figures.first = await page.evaluate(() => window.firstPicture);
    figures[name] = await page.evaluate(redrawLoop, [kRedraws, peerRedraw]);
    if (interval !== 20) continue;
    for (const [change, [, peer]] of Object.entries(kChanges)) {
      figures[change] = await page.evaluate(redrawLoop, [kRedraws, peer + settled]);
    }
    await page.close();
  }
  return figures;
}

const peerDir = fs.mkdtempSync(path.join(os.tmpdir(), 'zimbel-uplot-'));
const version = writePeer(peerDir);
const server = await startServer(webDir);
const peerServer = await startServer(peerDir);
try {
  const rounds = [];
  for (let round = 0; round < kRounds; round++) {
    const browser = await launchBrowser(kView);
    try {
      const page = await pageRound(browser.context, server.url);
      rounds.push({page, peer: await peerRound(browser.context, peerServer.url, page.viewWidth)});
    } finally {
      await browser.close();
    }
  }
  const figure = (side, key) => median(rounds.map((round) => round[side][key]));
  console.log(`web page beside uPlot ${version} in headless Chromium, 512 values, a ${rounds[0].page.viewWidth}-px view;` +
    ` medians of ${kRounds} fresh browsers (a redraw: the median of ${kRedraws}), each until a pixel is read back:`);
  for (const [key, what] of [['first', 'first picture of a fresh page (pasted / constructed)'],
    ['loaded', 'redraw after a line-width change, ~50 points in view'], ['all', 'the same, all 512 points in view'],
    ...Object.keys(kChanges).map((name) => [name, `redraw after ${name}, ~50 points in view`])]) {
    const mine = figure('page', key);
    const theirs = figure('peer', key);
    console.log(`  ${what}: page ${mine.toFixed(2)} ms, uPlot ${theirs.toFixed(2)} ms, page/uPlot ${(mine / theirs).toFixed(2)}`);
  }
  console.log(`  page, script, style and wasm, gzipped: ${(pageBytesGzipped() / 1000).toFixed(1)} kB`);
} finally {
  await server.close();
  await peerServer.close();
  fs.rmSync(peerDir, {recursive: true, force: true});
}
