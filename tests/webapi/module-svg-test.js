// The built module as the page drives it, against the native exporter: the
// same file and options must give the same SVG, byte for byte, whatever the
// view scrolled to before.
// node --no-experimental-fetch module-svg-test.js MODULE.js EXPORTER EXAMPLES
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const path = require('path');
const [modulePath, exporter, examples] = process.argv.slice(2);

const cases = [
  ['wave.txt'],
  ['negative.txt', '--auto-ratio', '--y-tick-unit', '5', '--line-style', 'dash-dot', '--point-kind', 'square'],
  // Odd markers have half-pixel centres.
  ['three.txt', '--background', '#336699', '--line-color', '#ff0000', '--height', '300', '--vertical-margin', '20',
   '--auto-ratio', '--line-width', '3', '--line-style', 'dot', '--point-size', '9'],
  ['wave.txt', '--width', '333', '--ratio', '0.5', '--point-interval', '7', '--x-tick', '3', '--show', 'axes',
   '--left-margin', '0', '--opaque'],
  // A line far off the image is cut at fractions of a pixel.
  ['negative.txt', '--ratio', '4321.5', '--line-style', 'dash'],
];

// The module's strings are the caller's to free.
function taken(m, pointer) {
  const text = m.UTF8ToString(pointer);
  m._free(pointer);
  return text;
}

// Bytes in the module's memory for one call.
function passing(m, bytes, call) {
  const p = m._malloc(bytes.length);
  m.HEAPU8.set(bytes, p);
  const result = call(p);
  m._free(p);
  return result;
}

// Each option through the page's control for it, as the module's table
// names them: a field's text, a list's index, a colour, a box.
function drive(m, file, options) {
  const table = JSON.parse(taken(m, m._ZimbelSettings()));
  const cText = (text) => Buffer.from(text + '\0');
  const setText = (id, text) => passing(m, cText(text), (p) => m._ZimbelSetText(id, p));
  let width = null;
  for (let i = 0; i < options.length; ++i) {
    const name = options[i].slice(2);
    const setting = table.settings.find((row) => row.option === name || row.offOption === name);
    if (!setting) throw new Error('no control for ' + options[i]);
    if (setting.kind === 'flag') m._ZimbelSetValue(setting.id, name === setting.option ? 1 : 0);
    else if (name === 'width') width = options[++i];
    else if (setting.kind === 'choice') m._ZimbelSetValue(setting.id, setting.choices.indexOf(options[++i]));
    else if (setting.kind === 'color') passing(m, cText(options[++i]), (p) => m._ZimbelSetColorText(setting.id, p));
    else setText(setting.id, options[++i]);
  }
  const bytes = fs.readFileSync(file);
  const reader = m._ZimbelLoadBegin();
  passing(m, bytes, (p) => m._ZimbelLoadMore(reader, p, bytes.length));
  m._ZimbelLoadEnd(reader, 1);
  if (width !== null) setText(1000, width);
}

const ignored = new Proxy({canvas: {width: 50, height: 50}}, {get: (t, k) => k in t ? t[k] : () => {}, set: () => true});

(async () => {
  const create = require(path.resolve(modulePath));
  let failed = 0;
  for (const [name, ...options] of cases) {
    const file = path.join(examples, name);
    const m = await create({});
    drive(m, file, options);
    m.zimbelContext = ignored;
    m._ZimbelPaint(40, 25, 50, 50, 1);
    const svg = taken(m, m._ZimbelSvg());
    const expected = execFileSync(exporter, ['--format', 'svg', ...options, file, '-o', '-']).toString();
    const same = svg === expected;
    console.log((same ? 'same: ' : 'DIFFERENT: ') + [name, ...options].join(' '));
    if (!same) ++failed;
  }
  process.exitCode = failed ? 1 : 0;
})();
