// The page's figures in headless Chromium, after `make web`: the first
// picture after choosing a 512-value file, one setting change to a new
// picture at 10250 x 200, and what a visitor downloads, gzipped (medians).
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {startServer} from './web-serve.mjs';
import {repoRoot, webDir, launchBrowser, openPage} from '../tests/web/driver.mjs';

const kRuns = 21;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => value.toFixed(2) + ' ms';

const dataFile = path.join(repoRoot, 'build/web-test/bench-512.txt');
fs.mkdirSync(path.dirname(dataFile), {recursive: true});
fs.writeFileSync(dataFile, Array.from({length: 512}, (_, i) => (Math.sin(i / 9) * 100).toFixed(3)).join('\n') + '\n');

const server = await startServer(webDir);
const browser = await launchBrowser();
try {
  const problems = [];
  const page = await openPage(browser.context, server.url, problems);

  // From the file input's change to the end of the paint that shows it.
  const loads = [];
  for (let run = 0; run < kRuns; run++) {
    await page.evaluate(() => {
      const canvas = document.getElementById('canvas');
      window.benchDone = new Promise((resolve) => {
        const start = {};
        document.getElementById('file-input').addEventListener('change', () => { start.t = performance.now(); },
          {capture: true, once: true});
        const observer = new MutationObserver(() => {
          observer.disconnect();
          resolve(performance.now() - start.t);
        });
        observer.observe(canvas, {attributes: true, attributeFilter: ['data-paints']});
      });
    });
    await page.setInputFiles('#file-input', dataFile);
    loads.push(await page.evaluate(() => window.benchDone));
  }

  // A 512-value file makes the image 10250 x 200 with the defaults.
  const width = await page.inputValue('#e1000');
  const changes = await page.evaluate((runs) => {
    const edit = document.getElementById('e1004');
    const times = [];
    for (let run = 0; run < runs; run++) {
      const start = performance.now();
      edit.value = String(1 + (run % 2));
      edit.dispatchEvent(new Event('input', {bubbles: true}));
      times.push(performance.now() - start);
    }
    return times;
  }, kRuns);
  const frames = [];
  for (let run = 0; run < kRuns; run++) {
    frames.push(await page.evaluate((value) => new Promise((resolve) => {
      const edit = document.getElementById('e1004');
      const start = performance.now();
      edit.value = value;
      edit.dispatchEvent(new Event('input', {bubbles: true}));
      requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - start), 0));
    }), String(1 + (run % 2))));
  }

  let gzipped = 0;
  const sizes = [];
  for (const name of ['index.html', 'app.js', 'style.css', 'zimbelplot.js', 'zimbelplot.wasm']) {
    const size = zlib.gzipSync(fs.readFileSync(path.join(webDir, name)), {level: 9}).length;
    gzipped += size;
    sizes.push(`${name} ${(size / 1024).toFixed(1)}`);
  }

  console.log('web page in headless Chromium, medians of ' + kRuns + ' runs:');
  console.log(`  first picture after choosing a 512-value file: ${ms(median(loads))}`);
  console.log(`  one setting change to a new picture (image ${width} x 200): ${ms(median(changes))}` +
    ` (${ms(median(frames))} until the next frame has been drawn)`);
  console.log(`  page + script + wasm, gzipped: ${(gzipped / 1024).toFixed(1)} kB (${sizes.join(', ')} kB)`);
  if (problems.length) console.log('  page errors: ' + problems.join('; '));
} finally {
  await browser.close();
  await server.close();
}
