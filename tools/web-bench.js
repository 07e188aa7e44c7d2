// The module's own figures, without a browser: its transfer size and the
// median times of its work for a 512-value file at 10250 x 200.
// node --no-experimental-fetch tools/web-bench.js [build/web]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const dir = path.resolve(process.argv[2] || 'build/web');
const runs = 21;

function median(work) {
  const times = [];
  for (let i = 0; i < runs; ++i) {
    const start = process.hrtime.bigint();
    work();
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return times.sort((a, b) => a - b)[runs >> 1].toFixed(3) + ' ms';
}

(async () => {
  for (const name of ['zimbelplot.js', 'zimbelplot.wasm', 'single/zimbelplot.js']) {
    const bytes = fs.readFileSync(path.join(dir, name));
    console.log(`web ${name}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, {level: 9}).length} gzipped`);
  }
  const create = require(path.join(dir, 'zimbelplot.js'));
  const start = process.hrtime.bigint();
  const m = await create({});
  console.log(`web module ready: ${(Number(process.hrtime.bigint() - start) / 1e6).toFixed(1)} ms`);

  let text = '';
  for (let i = 0; i < 512; ++i) text += Math.sin(i / 20).toFixed(6) + '\r\n';
  const bytes = new TextEncoder().encode(text);
  const p = m._malloc(bytes.length);
  m.HEAPU8.set(bytes, p);
  console.log(`web load 512 values: ${median(() => m._ZimbelLoad(p, bytes.length))}`);
  m._free(p);
  m._ZimbelSetValue(1024, 1);
  console.log(`web width ${m._ZimbelImageWidth()} x ${m._ZimbelImageHeight()}`);
  let svgBytes = 0;
  console.log(`web SVG of 512 points: ${median(() => {
    const svg = m._ZimbelSvg();
    svgBytes = m.HEAPU8.indexOf(0, svg) - svg;
    m._free(svg);
  })}, ${svgBytes} bytes`);
})();
