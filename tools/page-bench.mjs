// The page's figures in headless Chromium, after `make web`, beside uPlot's
// in the same browser at the same canvas size and on the same 512 values:
// a redraw after a line-width change, and data to first picture. Every
// figure ends with a pixel read back from the canvas, so the picture is on
// it, not merely queued; medians of interleaved runs, and page / uPlot.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {startServer} from './web-serve.mjs';
import {repoRoot, webDir, launchBrowser, openPage} from '../tests/web/driver.mjs';

const kRuns = 41;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(2) + ' ms';

const values = Array.from({length: 512}, (_, i) => (Math.sin(i / 9) * 100).toFixed(3));
const dataText = values.join('\n') + '\n';
const dataFile = path.join(repoRoot, 'build/web-test/bench-512.txt');
fs.mkdirSync(path.dirname(dataFile), {recursive: true});
fs.writeFileSync(dataFile, dataText);

// uPlot from the browser tests' own tree, on a blank page of a server of its
// own: nothing of it reaches build/web.
const uplotDist = path.join(repoRoot, 'tests/web/node_modules/uplot/dist');
const uplotDir = fs.mkdtempSync(path.join(os.tmpdir(), 'zimbel-uplot-'));
for (const name of ['uPlot.iife.min.js', 'uPlot.min.css']) fs.copyFileSync(path.join(uplotDist, name), path.join(uplotDir, name));
fs.writeFileSync(path.join(uplotDir, 'index.html'), '<!DOCTYPE html><meta charset="utf-8"><link rel="icon" href="data:,">' +
  '<link rel="stylesheet" href="uPlot.min.css"><body style="margin:0"><div id="chart"></div>' +
  '<script src="uPlot.iife.min.js"></script>');

const server = await startServer(webDir);
const uplotServer = await startServer(uplotDir);
const browser = await launchBrowser();
try {
  const problems = [];
  const page = await openPage(browser.context, server.url, problems);
  const peer = await browser.context.newPage();
  await peer.goto(uplotServer.url);
  await peer.waitForFunction(() => typeof uPlot === 'function', null, {timeout: 15000});

  // The page's first picture, awaited in the page: the paint marks the
  // canvas, and the mark's observer reads a pixel back.
  await page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const readBack = () => canvas.getContext('2d').getImageData(0, 0, 1, 1);
    // `begin` starts the load and gives the clock's start, or a promise of
    // it; a paint before the start (a resize's, say) is not the load's.
    window.benchFirstPicture = (begin) => new Promise((resolve) => {
      let start = null;
      const observer = new MutationObserver(() => {
        if (start === null) return;
        observer.disconnect();
        readBack();
        resolve(performance.now() - start);
      });
      observer.observe(canvas, {attributes: true, attributeFilter: ['data-paints']});
      const begun = begin();
      if (typeof begun === 'number') start = begun;
      else begun.then((time) => { start = time; });
    });
    window.benchPaste = (text) => window.benchFirstPicture(() => {
      const data = new DataTransfer();
      data.setData('text/plain', text);
      const start = performance.now();
      document.body.dispatchEvent(new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));
      return start;
    });
    window.benchLineWidth = (width) => {
      const edit = document.getElementById('e1004');
      const start = performance.now();
      edit.value = String(width);
      edit.dispatchEvent(new Event('input', {bubbles: true}));
      readBack();
      return performance.now() - start;
    };
  });
  await page.evaluate((text) => window.benchPaste(text), dataText);
  const view = await page.evaluate(() => {
    const element = document.getElementById('view');
    return {width: element.clientWidth, height: element.clientHeight};
  });
  const imageWidth = await page.inputValue('#e1000');

  // uPlot at the view's size, the same values against their indices; no
  // legend, as the page has none. It draws in a microtask: its draw hook
  // ends each wait.
  await peer.evaluate(({size, numbers}) => {
    const ys = numbers.map(Number);
    const data = [ys.map((_, i) => i), ys];
    const chart = document.getElementById('chart');
    let drawn = null;
    const options = {
      width: size.width, height: size.height, legend: {show: false}, scales: {x: {time: false}},
      series: [{}, {stroke: '#000', width: 1}],
      hooks: {draw: [() => drawn && drawn()]},
    };
    const picture = (plot) => new Promise((resolve) => { drawn = resolve; }).then(() => {
      drawn = null;
      plot.ctx.getImageData(0, 0, 1, 1);
    });
    let plot = null;
    window.benchConstruct = async () => {
      if (plot) plot.destroy();
      const start = performance.now();
      const done = new Promise((resolve) => { drawn = resolve; });
      plot = new uPlot(options, data, chart);
      await done;
      drawn = null;
      plot.ctx.getImageData(0, 0, 1, 1);
      return performance.now() - start;
    };
    window.benchLineWidth = async (width) => {
      const start = performance.now();
      const done = picture(plot);
      plot.series[1].width = width;
      plot.redraw();
      await done;
      return performance.now() - start;
    };
  }, {size: view, numbers: values});

  const figures = {pagePaste: [], pageFile: [], pageWidth: [], peerConstruct: [], peerWidth: []};
  for (let run = 0; run < kRuns; run++) {
    figures.pagePaste.push(await page.evaluate((text) => window.benchPaste(text), dataText));
    figures.peerConstruct.push(await peer.evaluate(() => window.benchConstruct()));
    const width = 2 - (run % 2);
    figures.pageWidth.push(await page.evaluate((w) => window.benchLineWidth(w), width));
    figures.peerWidth.push(await peer.evaluate((w) => window.benchLineWidth(w), width));
  }
  // The loaded width shows a few dozen of the points; points a pixel apart
  // on an image as wide as the view show all 512, as uPlot does.
  await page.evaluate((width) => {
    for (const [id, value] of [['e1006', 1], ['e1000', width]]) {
      const edit = document.getElementById(id);
      edit.value = String(value);
      edit.dispatchEvent(new Event('input', {bubbles: true}));
    }
  }, view.width);
  const pageFitWidth = [];
  for (let run = 0; run < kRuns; run++) pageFitWidth.push(await page.evaluate((w) => window.benchLineWidth(w), 2 - (run % 2)));
  figures.pageFitWidth = pageFitWidth;

  // Choosing a file: the clock starts at the input's change.
  for (let run = 0; run < kRuns; run++) {
    const done = page.evaluate(() => window.benchFirstPicture(() => new Promise((resolve) => {
      document.getElementById('file-input').addEventListener('change', () => resolve(performance.now()),
        {capture: true, once: true});
    })));
    await page.setInputFiles('#file-input', dataFile);
    figures.pageFile.push(await done);
  }

  let gzipped = 0;
  const sizes = [];
  for (const name of ['index.html', 'app.js', 'style.css', 'zimbelplot.js', 'zimbelplot.wasm']) {
    const size = zlib.gzipSync(fs.readFileSync(path.join(webDir, name)), {level: 9}).length;
    gzipped += size;
    sizes.push(`${name} ${(size / 1024).toFixed(1)}`);
  }

  const m = Object.fromEntries(Object.entries(figures).map(([key, times]) => [key, median(times)]));
  const ratio = (a, b) => (a / b).toFixed(2);
  console.log(`web page beside uPlot ${JSON.parse(fs.readFileSync(path.join(uplotDist, '../package.json'))).version}` +
    ` in headless Chromium, ${view.width} x ${view.height} canvas, 512 values, medians of ${kRuns} runs` +
    ` (each until a pixel is read back):`);
  console.log(`  redraw after a line-width change: page ${ms(m.pageWidth)} (image ${imageWidth} x 200),` +
    ` uPlot ${ms(m.peerWidth)}, page/uPlot ${ratio(m.pageWidth, m.peerWidth)};` +
    ` all 512 points in view (image ${view.width} x 200): page ${ms(m.pageFitWidth)}, page/uPlot ${ratio(m.pageFitWidth, m.peerWidth)}`);
  console.log(`  data to first picture: page ${ms(m.pagePaste)} (512 numbers pasted), uPlot ${ms(m.peerConstruct)}` +
    ` (constructed from an array), page/uPlot ${ratio(m.pagePaste, m.peerConstruct)}`);
  console.log(`  first picture after choosing the 512-value file: page ${ms(m.pageFile)}`);
  console.log(`  page + script + wasm, gzipped: ${(gzipped / 1024).toFixed(1)} kB (${sizes.join(', ')} kB)`);
  if (problems.length) console.log('  page errors: ' + problems.join('; '));
} finally {
  await browser.close();
  await server.close();
  await uplotServer.close();
  fs.rmSync(uplotDir, {recursive: true, force: true});
}
