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
