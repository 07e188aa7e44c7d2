// Writes the page's files (web/PageFiles.txt) into build/web beside the
// wasm module: the script's modules bundled into app.js, the service worker
// stamped with this build and the files it keeps, the others as they are;
// then build/web/zimbelplot.html: the whole page in one file, the module
// with its wasm inside, which works opened from disk where a browser
// fetches nothing.
import {execFileSync} from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {pageFiles} from './page-files.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const page = path.join(root, 'web/page');
const out = path.join(root, 'build/web');
const files = pageFiles();
const read = (file) => fs.readFileSync(file, 'utf8');

// A script of the page is its modules as one, by Debian's esbuild,
// whitespace and comments out but every name kept. Its first line asks the
// browser to compile every function as the script loads, not at its first
// call: the first picture would wait on a few milliseconds of compiling.
const bundle = (name) => execFileSync('esbuild', [path.join(page, name), '--bundle', '--format=iife',
  '--target=es2020', '--minify-whitespace', '--minify-syntax', '--legal-comments=none', '--log-level=warning',
  '--banner:js=//# allFunctionsCalledOnLoad', '--outfile=' + path.join(out, name)], {stdio: 'inherit'});

// The worker is written last, stamped; what is not in web/page the module's
// build has made.
const kWorker = 'sw.js';
for (const {name} of files) {
  if (name === kWorker) continue;
  if (!fs.existsSync(path.join(page, name))) {
    if (!fs.existsSync(path.join(out, name))) throw new Error(`${name} is neither in web/page nor built`);
  } else if (name.endsWith('.js')) {
    bundle(name);
  } else {
    fs.copyFileSync(path.join(page, name), path.join(out, name));
  }
}

// A new build is a new worker, and the browser fetches the new set at the
// next visit. The page's index is kept as the folder it is served for.
const kept = files.filter((file) => file.offline).map(({name}) => (name === 'index.html' ? './' : name));
const build = crypto.createHash('sha256');
for (const {name} of files) if (name !== kWorker) build.update(fs.readFileSync(path.join(out, name)));
fs.writeFileSync(path.join(out, kWorker), read(path.join(page, kWorker))
  .replace('@BUILD@', build.digest('hex').slice(0, 16)).replace("['@FILES@']", JSON.stringify(kept)));

// The one-file page: every script and style sheet of it inline (the
// module's with its wasm inside), every other file's tag gone. A script's
// text must not close its own element early.
const script = (text) => `<script>${text.replace(/<\/(script)/gi, '<\\/$1')}</script>`;
const inline = {
  '.js': (name) => [`<script src="${name}"></script>`,
    script(read(name === 'zimbelplot.js' ? path.join(out, 'single', name) : path.join(out, name)))],
  '.css': (name) => [`<link rel="stylesheet" href="${name}">`, `<style>${read(path.join(out, name))}</style>`],
};
let html = read(path.join(page, 'index.html'));
for (const {name, single} of files) {
  const kind = inline[path.extname(name)];
  if (single && kind) {
    const [tag, text] = kind(name);
    if (!html.includes(tag)) throw new Error(`index.html no longer has ${tag}`);
    html = html.replace(tag, () => text);
  } else if (!single) {
    html = html.replace(new RegExp(`<link [^>]*href="${name.replace(/\./g, '\\.')}">\\n?`), '');
  }
}
const target = path.join(out, 'zimbelplot.html');
fs.writeFileSync(target + '.tmp', html);
fs.renameSync(target + '.tmp', target);
console.log(target);
