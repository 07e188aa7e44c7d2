// Copies the page's files beside the wasm module in build/web, the service
// worker stamped with this build's files, and writes build/web/zimbelplot.html:
// the whole page in one file, the module with its wasm inside, which works
// opened from disk where a browser fetches nothing.
import {execFileSync} from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const page = path.join(root, 'web/page');
const out = path.join(root, 'build/web');

// The page's script goes out without its comments and blanks, through the
// emscripten that built the module (its optimizer prints what it parses);
// its first line, the browser's hint to compile it at once, is kept. The
// optimizer needs Debian's acorn, as in tools/web-build.sh.
const emscripten = path.dirname(execFileSync('sh', ['-c', 'readlink -f "$(command -v emcc)"'], {encoding: 'utf8'}).trim());
const kCompileHint = '//# allFunctionsCalledOnLoad\n';
const appSource = fs.readFileSync(path.join(page, 'app.js'), 'utf8');
if (!appSource.startsWith(kCompileHint)) throw new Error('app.js no longer starts with ' + kCompileHint);
const app = kCompileHint + execFileSync('node', [path.join(emscripten, 'tools/acorn-optimizer.js'),
  path.join(page, 'app.js'), 'minifyWhitespace'], {encoding: 'utf8', env: {...process.env, NODE_PATH: process.env.NODE_PATH || '/usr/share/nodejs'}});
fs.writeFileSync(path.join(out, 'app.js'), app);

const kept = ['index.html', 'app.js', 'style.css', 'manifest.webmanifest', 'icon.png'];
for (const name of kept) if (name !== 'app.js') fs.copyFileSync(path.join(page, name), path.join(out, name));
// A new build is a new worker, and the browser fetches the new set at the next visit.
const build = crypto.createHash('sha256');
for (const name of [...kept, 'zimbelplot.js', 'zimbelplot.wasm']) build.update(fs.readFileSync(path.join(out, name)));
fs.writeFileSync(path.join(out, 'sw.js'),
  fs.readFileSync(path.join(page, 'sw.js'), 'utf8').replace('@BUILD@', build.digest('hex').slice(0, 16)));

const read = (file) => fs.readFileSync(file, 'utf8');
// A script's text must not close its own element early.
const script = (text) => `<script>${text.replace(/<\/(script)/gi, '<\\/$1')}</script>`;
const parts = {
  '<link rel="manifest" href="manifest.webmanifest">\n': '',
  '<link rel="stylesheet" href="style.css">': `<style>${read(path.join(page, 'style.css'))}</style>`,
  '<script src="app.js"></script>': script(app),
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
