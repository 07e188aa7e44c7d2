// Copies the page's files beside the wasm module in build/web and writes
// build/web/zimbelplot.html: the whole page in one file, the module with its
// wasm inside, which works opened from disk where a browser fetches nothing.
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const page = path.join(root, 'web/page');
const out = path.join(root, 'build/web');

for (const name of ['index.html', 'app.js', 'style.css']) {
  fs.copyFileSync(path.join(page, name), path.join(out, name));
}

const read = (file) => fs.readFileSync(file, 'utf8');
// A script's text must not close its own element early.
const script = (text) => `<script>${text.replace(/<\/(script)/gi, '<\\/$1')}</script>`;
const parts = {
  '<link rel="stylesheet" href="style.css">': `<style>${read(path.join(page, 'style.css'))}</style>`,
  '<script src="app.js"></script>': script(read(path.join(page, 'app.js'))),
  '<script src="zimbelplot.js"></script>': script(read(path.join(out, 'single/zimbelplot.js'))),
};
let html = read(path.join(page, 'index.html'));
for (const [tag, inline] of Object.entries(parts)) {
  if (!html.includes(tag)) throw new Error(`index.html no longer has ${tag}`);
  html = html.replace(tag, () => inline);
}
const target = path.join(out, 'zimbelplot.html');
fs.writeFileSync(target + '.tmp', html);
fs.renameSync(target + '.tmp', target);
console.log(target);
