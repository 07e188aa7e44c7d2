// The page hosted by zimbelplot-serve: File offers the graph's image links,
// each the address of the exporter's picture, its snippets, the exporter's
// too, and the page at the link's own address, which opens the graph; a
// static host offers none of them.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync, spawn} from 'node:child_process';
import path from 'node:path';
import readline from 'node:readline';
import {startServer} from './static-host.mjs';
import {repoRoot, webDir, launchBrowser, openPage, chooseFile} from './driver.mjs';

const release = path.join(repoRoot, 'build/release');
const wave = path.join(repoRoot, 'examples/wave.txt');
const exporter = path.join(release, 'export/zimbelplot-export');
const exported = (...options) => execFileSync(exporter, [wave, ...options], {encoding: 'utf8'}).trimEnd();
const kServed = ['cmd-share-link', 'cmd-png-link', 'cmd-svg-link', 'cmd-markdown', 'cmd-html'];
const problems = [];
let served;
let staticHost;
let browser;

// zimbelplot-serve on a free port, once it has printed its address.
function startServe() {
  const child = spawn(path.join(release, 'serve/zimbelplot-serve'), ['--listen', '127.0.0.1:0', '--root', webDir],
    {stdio: ['ignore', 'pipe', 'ignore']});
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('zimbelplot-serve did not start')), 10000);
    child.once('error', reject);
    readline.createInterface({input: child.stdout}).once('line', (url) => {
      clearTimeout(timer);
      resolve({url, close: () => new Promise((done) => {
        child.once('exit', done);
        child.kill('SIGTERM');
      })});
    });
  });
}

before(async () => {
  served = await startServe();
  staticHost = await startServer(webDir);
  browser = await launchBrowser();
});

after(async () => {
  await browser?.close();
  await staticHost?.close();
  await served?.close();
  assert.deepEqual(problems, []);
});

test('served by zimbelplot-serve, File copies image links to the exporter\'s pictures', async () => {
  const page = await openPage(browser.context, served.url, problems);
  await page.waitForFunction(() => !document.getElementById('cmd-png-link').hidden);
  await chooseFile(page, wave);
  await page.waitForFunction(() => document.getElementById('e1000').value === '970');
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin: served.url});
  for (const format of ['png', 'svg']) {
    await page.evaluate(() => { document.getElementById('message').textContent = ''; });
    await page.click('#menu-file summary');
    await page.click(`#cmd-${format}-link`);
    await page.waitForFunction(() => document.getElementById('message').textContent !== '');
    const address = await page.evaluate(() => navigator.clipboard.readText());
    assert.ok(address.startsWith(served.url + 'z1&') && address.endsWith('.' + format), address.slice(0, 80));
    const got = Buffer.from(await (await fetch(address)).arrayBuffer());
    const want = execFileSync(path.join(release, 'export/zimbelplot-export'), [wave, '--format', format, '-o', '-']);
    assert.ok(got.equals(want), `the ${format} at the address is the exporter's`);
  }
  await page.close();
});

// What a menu item put on the clipboard, once the page has said it did.
async function copied(page, id) {
  await page.evaluate(() => { document.getElementById('message').textContent = ''; });
  await page.click('#menu-file summary');
  await page.click('#' + id);
  await page.waitForFunction(() => document.getElementById('message').textContent !== '');
  return page.evaluate(() => navigator.clipboard.readText());
}

test('the page at a link\'s own address opens the graph, and copies the exporter\'s snippets and both links', async () => {
  const link = exported('--format', 'link');
  const page = await openPage(browser.context, served.url + link, problems);
  await browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin: served.url});
  await page.waitForFunction(() => !document.getElementById('cmd-html').hidden);
  assert.equal(await page.evaluate(() => document.getElementById('e1000').value), '970');
  const alt = exported('--format', 'markdown').match(/^!\[(.*)\]/)[1];
  assert.equal(await page.evaluate(() => document.getElementById('canvas').getAttribute('aria-label')), alt);
  const tags = await page.evaluate(() => Object.fromEntries([...document.querySelectorAll('meta[property^="og:"]')]
    .map((meta) => [meta.getAttribute('property'), meta.content])));
  assert.equal(tags['og:title'], alt);
  assert.equal(tags['og:image'], served.url + link + '@2x.png');
  for (const format of ['markdown', 'html']) {
    assert.equal(await copied(page, 'cmd-' + format), exported('--format', format, '--server', served.url), format);
  }
  assert.equal(await copied(page, 'cmd-share-link'), served.url + link);
  assert.match(await page.evaluate(() => document.getElementById('message').textContent), /server|サーバー/);
  // The private link is the page's own, whatever address opened it.
  assert.equal(await copied(page, 'cmd-link'), served.url + '#' + link);
  await page.close();
});

test('on a static host File offers no image link', async () => {
  const page = await openPage(browser.context, staticHost.url, problems);
  await page.waitForLoadState('networkidle');
  const offered = await page.evaluate((ids) => ids.filter((id) => !document.getElementById(id).hidden), kServed);
  assert.deepEqual(offered, []);
  await page.close();
});

// WCAG's contrast of two sRGB colours, each [r, g, b] of 0-255.
const luminance = (rgb) => rgb.map((c) => c / 255).map((c) => (c <= 0.04045 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4))
  .reduce((sum, c, i) => sum + c * [0.2126, 0.7152, 0.0722][i], 0);
const contrast = (a, b) => (Math.max(luminance(a), luminance(b)) + 0.05) / (Math.min(luminance(a), luminance(b)) + 0.05);

test('a README of three graphs\' snippets, rendered by cmark-gfm, reads on the code host\'s light and dark pages', async () => {
  const inputs = ['wave.txt', 'three.txt', 'negative.txt'].map((name) => path.join(repoRoot, 'examples', name));
  const snippet = (input, format) => execFileSync(exporter, [input, '--format', format, '--server', served.url],
    {encoding: 'utf8'});
  const readme = inputs.map((input, i) => `## Graph ${i + 1}\n\n${snippet(input, 'markdown')}\n${snippet(input, 'html')}\n`)
    .join('\n');
  // The host keeps <picture>, <source> and <img> of a README's HTML.
  const body = execFileSync('cmark-gfm', ['--unsafe'], {input: readme, encoding: 'utf8'});
  const page = await browser.context.newPage();
  try {
    for (const [scheme, ground] of [['light', [255, 255, 255]], ['dark', [0x0d, 0x11, 0x17]]]) {
      await page.emulateMedia({colorScheme: scheme});
      await page.setContent(`<!DOCTYPE html><meta name="color-scheme" content="light dark"><body style="background:
        rgb(${ground})">${body.replace(/<img /g, '<img crossorigin="anonymous" ')}</body>`);
      await page.waitForFunction(() => [...document.images].every((image) => image.complete), null, {timeout: 10000});
      const images = await page.evaluate((behind) => [...document.images].map((image) => {
        // The picture as the page shows it: over the page's ground, at its
        // laid-out size.
        const canvas = document.createElement('canvas');
        canvas.width = image.width;
        canvas.height = image.height;
        const context = canvas.getContext('2d');
        context.fillStyle = `rgb(${behind})`;
        context.fillRect(0, 0, canvas.width, canvas.height);
        context.drawImage(image, 0, 0, canvas.width, canvas.height);
        const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
        const colours = [];
        for (let i = 0; i < pixels.length; i += 4) colours.push([pixels[i], pixels[i + 1], pixels[i + 2]]);
        return {source: image.currentSrc.slice(-12), loaded: image.naturalWidth > 0, width: image.width,
          height: image.height, stated: [image.getAttribute('width'), image.getAttribute('height')], colours};
      }), ground);
      assert.equal(images.length, 6, scheme);
      for (const image of images) {
        assert.ok(image.loaded, `${scheme} ${image.source}`);
        if (image.stated[0] !== null) assert.deepEqual([String(image.width), String(image.height)], image.stated);
        // The line's pixels: the fewest a line across the picture draws, the
        // most unlike the ground.
        const unlike = image.colours.map((colour) => contrast(colour, ground)).sort((a, b) => b - a);
        const line = unlike[Math.min(image.width, unlike.length - 1)];
        assert.ok(line >= 3, `${scheme} ${image.source}: the line's contrast is ${line.toFixed(2)}`);
      }
      await page.screenshot({path: `/tmp/readme-${scheme}.png`, fullPage: true});
    }
  } finally {
    await page.close();
  }
});
