// The browser and the page, for the browser tests and the benchmark alike.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import zlib from 'node:zlib';
import {chromium} from 'playwright-core';
import {pageFiles} from '../../tools/page-files.mjs';

export const repoRoot = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const webDir = path.join(repoRoot, 'build/web');

// What a visitor's first load brings (the files the one-file page holds),
// gzipped at the highest level, in bytes.
export function pageBytesGzipped() {
  return pageFiles().filter((file) => file.single).map((file) => file.name)
    .reduce((sum, name) => sum + zlib.gzipSync(fs.readFileSync(path.join(webDir, name)), {level: 9}).length, 0);
}

// The system's browser with a profile of its own, so no earlier run and no
// background service shapes a result. `options` are the context's (a
// deviceScaleFactor, say).
export async function launchBrowser(options = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zimbel-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    acceptDownloads: true,
    viewport: {width: 1100, height: 760},
    ...options,
    args: ['--headless', '--no-sandbox', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run'],
  });
  return {
    context,
    close: async () => {
      await context.close();
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

// Opens the page and collects whatever it reports as an error.
export async function openPage(context, url, problems) {
  const page = await context.newPage();
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`${url}: ${message.text()}`);
  });
  page.on('pageerror', (error) => problems.push(`${url}: ${error.message}`));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', {timeout: 15000});
  return page;
}

export function paints(page) {
  return page.evaluate(() => Number(document.getElementById('canvas').dataset.paints || 0));
}

// Waits until the graph area has been painted after `before` paints.
export async function waitForPaint(page, before) {
  await page.waitForFunction((n) => Number(document.getElementById('canvas').dataset.paints || 0) > n,
    before, {timeout: 10000});
}

// Chooses a file through File > Open.
export async function chooseFile(page, file) {
  const chooser = page.waitForEvent('filechooser');
  await page.click('#menu-file summary');
  await page.click('#cmd-open');
  await (await chooser).setFiles(file);
}
